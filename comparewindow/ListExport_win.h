// The export of a result list: the save dialog, the list's columns and rows
// read as any client of a report-style list view reads them (also texts the
// list's owner supplies on demand), the document written in one piece, then
// the written file opened with the program of its extension.
//
//   comparewindow::Export(listView, app::ProgramName());   // "Export_Duplora" suggested
//
// The setting "ExportIndex" of section "List" remembers the type chosen last.
// Tests hand in services of their own, so that neither the save dialog nor
// the shell ever opens.
#pragma once

#include <windows.h>
// Needs the types of windows.h.
#include <commdlg.h>

#include <functional>
#include <string>

#include "comparewindow/ExportDocument.h"

namespace comparewindow {

struct ExportServices {
  // The save dialog on the prepared structure: TRUE with the chosen file in
  // lpstrFile and the chosen type in nFilterIndex, FALSE when cancelled.
  std::function<BOOL(OPENFILENAMEW& dialog)> chooseFile;
  // Hands the written file to the program of its extension.
  std::function<void(const std::wstring& path)> openFile;
};

// GetSaveFileNameW, and ShellExecuteW with "open" shown normally.
ExportServices SystemExportServices();

// Every column of the list in display order with its header text, and every
// row's full cell texts in that order.
ExportTable ReadListTable(HWND list);

enum class ExportOutcome {
  Cancelled,   // nothing written, the stored type kept
  Written,     // written and handed to the shell
  NotWritten,  // the file could not be written; nothing opened, no message
};

ExportOutcome Export(HWND list, const std::wstring& name,
                     const ExportServices& services = SystemExportServices());

}  // namespace comparewindow
