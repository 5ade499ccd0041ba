#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <limits.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"

namespace platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trim(std::wstring_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::wstring(text.substr(begin, end - begin));
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

// The locale's character set for files without a byte-order mark. The plain
// C locale says ASCII, which would lose every other letter; UTF-8 holds them.
const std::string& EightBitCharset() {
  static const std::string charset = [] {
    std::string name = "UTF-8";
    if (locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
      name = nl_langinfo_l(CODESET, user);
      freelocale(user);
    }
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII" ||
        name == "utf8")
      name = "UTF-8";
    return name;
  }();
  return charset;
}

bool IsUtf8(const std::string& charset) { return charset == "UTF-8"; }

// Converts with iconv; a unit that does not convert becomes `bad` and is passed over.
std::string Convert(const char* to, const char* from, std::string_view in, size_t unit,
                    std::string_view bad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[4096];
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out.append(bad);
      const size_t skip = std::min(unit, inLeft);
      inPtr += skip;
      inLeft -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

std::wstring FromEightBit(std::string_view bytes) {
  const std::string& charset = EightBitCharset();
  if (IsUtf8(charset)) return FromUtf8(bytes);
  const std::string utf8 = Convert("UTF-8", charset.c_str(), bytes, 1, "\xEF\xBF\xBD");
  return FromUtf8(utf8);
}

std::string ToEightBit(std::wstring_view text) {
  const std::string& charset = EightBitCharset();
  if (IsUtf8(charset)) return ToUtf8(text);
  // Letters the character set lacks become "?", as on Windows.
  const std::string utf32 = [&] {
    std::string bytes;
    for (wchar_t c : text) {
      const auto u = static_cast<uint32_t>(c);
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(u >> shift));
    }
    return bytes;
  }();
  return Convert(charset.c_str(), "UTF-32LE", utf32, 4, "?");
}

// A profile file as lines, without their line ends.
struct Document {
  bool utf16 = false;
  std::vector<std::wstring> lines;
};

Document Parse(std::string_view bytes) {
  Document doc;
  std::wstring text;
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
      static_cast<uint8_t>(bytes[1]) == 0xFE) {
    doc.utf16 = true;
    text = FromUtf16LeBytes(bytes.substr(2));
  } else {
    // A UTF-8 byte-order mark would otherwise spoil the first line.
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF" && IsUtf8(EightBitCharset()))
      bytes.remove_prefix(3);
    text = FromEightBit(bytes);
  }
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of(L"\r\n", at);
    if (end == std::wstring::npos) end = text.size();
    doc.lines.push_back(text.substr(at, end - at));
    if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n')
      ++end;
    at = end + 1;
  }
  return doc;
}

std::string Serialize(const Document& doc) {
  std::wstring text;
  for (const std::wstring& line : doc.lines) {
    text += line;
    text += L"\r\n";
  }
  if (doc.utf16) return std::string("\xFF\xFE", 2) + ToUtf16LeBytes(text);
  return ToEightBit(text);
}

std::optional<std::wstring> SectionName(std::wstring_view line) {
  const std::wstring trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] != L'[') return std::nullopt;
  const size_t close = trimmed.find(L']');
  return Trim(std::wstring_view(trimmed).substr(
      1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

struct Entry {
  std::wstring key;
  std::wstring value;
};

std::optional<Entry> EntryOf(std::wstring_view line) {
  const size_t eq = line.find(L'=');
  if (eq == std::wstring_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// Lines [begin, end) of the first section of that name: begin is its header.
struct Span {
  size_t begin;
  size_t end;
};

std::optional<Span> FindSection(const Document& doc, const std::wstring& section) {
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const auto name = SectionName(doc.lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < doc.lines.size() && !SectionName(doc.lines[end])) ++end;
    return Span{i, end};
  }
  return std::nullopt;
}

std::optional<Document> Load(const std::wstring& file) {
  auto bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  return Parse(*bytes);
}

// Closes a descriptor at scope exit.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// Re-reads the file, lets `edit` change it and puts the result in its place
// with one rename, all under a lock on the folder. The lock keeps writers in
// other processes from replacing the file between our read and our rename.
bool Modify(const std::wstring& file, const std::function<bool(Document&)>& edit) {
  std::string path = ToUtf8(file);
  // Keep a link to the settings file a link: write where it points.
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) path = resolved;
  const size_t slash = path.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));

  Fd lock{open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (lock.fd < 0 || flock(lock.fd, LOCK_EX) != 0) return false;

  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  // A read-only file stays as it is, as on Windows (even for root, who could write it).
  if (exists &&
      (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0 || access(path.c_str(), W_OK) != 0))
    return false;

  Document doc;
  if (exists) {
    auto bytes = ReadFileBytes(FromUtf8(path));
    if (!bytes) return false;
    doc = Parse(*bytes);
  }
  if (!edit(doc)) return true;
  const std::string bytes = Serialize(doc);

  std::string temp = path + ".XXXXXX";
  Fd out{mkostemp(temp.data(), O_CLOEXEC)};
  if (out.fd < 0) return false;
  bool ok = fchmod(out.fd, exists ? (st.st_mode & 07777) : 0644) == 0;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(out.fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0)
      ok = false;
    else
      done += static_cast<size_t>(n);
  }
  ok = ok && fsync(out.fd) == 0;
  ok = close(out.fd) == 0 && ok;
  out.fd = -1;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

// The line after which a new entry of the section goes: its last non-blank line.
size_t EndOfEntries(const Document& doc, const Span& span) {
  size_t end = span.end;
  while (end > span.begin + 1 && Trim(doc.lines[end - 1]).empty()) --end;
  return end;
}

std::wstring StripQuotes(std::wstring value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::wstring ReadIniValue(const std::wstring& file, const std::wstring& section,
                          const std::wstring& key, const std::wstring& fallback) {
  std::wstring missing = fallback;
  while (!missing.empty() && IsBlank(missing.back())) missing.pop_back();
  const auto doc = Load(file);
  if (!doc) return missing;
  const auto span = FindSection(*doc, section);
  if (!span) return missing;
  for (size_t i = span->begin + 1; i < span->end; ++i) {
    const auto entry = EntryOf(doc->lines[i]);
    if (entry && SameName(entry->key, key)) return StripQuotes(entry->value);
  }
  return missing;
}

bool WriteIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) {
  return Modify(file, [&](Document& doc) {
    const auto span = FindSection(doc, section);
    if (!span) {
      doc.lines.push_back(L"[" + section + L"]");
      doc.lines.push_back(key + L"=" + value);
      return true;
    }
    for (size_t i = span->begin + 1; i < span->end; ++i) {
      const auto entry = EntryOf(doc.lines[i]);
      if (entry && SameName(entry->key, key)) {
        doc.lines[i] = entry->key + L"=" + value;
        return true;
      }
    }
    doc.lines.insert(doc.lines.begin() + static_cast<ptrdiff_t>(EndOfEntries(doc, *span)),
                     key + L"=" + value);
    return true;
  });
}

std::vector<std::wstring> ReadIniSection(const std::wstring& file, const std::wstring& section) {
  std::vector<std::wstring> entries;
  const auto doc = Load(file);
  if (!doc) return entries;
  const auto span = FindSection(*doc, section);
  if (!span) return entries;
  for (size_t i = span->begin + 1; i < span->end; ++i) {
    if (const auto entry = EntryOf(doc->lines[i]))
      entries.push_back(entry->key + L"=" + entry->value);
  }
  return entries;
}

bool WriteIniSection(const std::wstring& file, const std::wstring& section,
                     const std::vector<std::wstring>& entries) {
  std::vector<std::wstring> lines;
  for (const std::wstring& text : entries) {
    if (const auto entry = EntryOf(text)) lines.push_back(entry->key + L"=" + entry->value);
  }
  return Modify(file, [&](Document& doc) {
    auto span = FindSection(doc, section);
    if (!span) {
      doc.lines.push_back(L"[" + section + L"]");
      doc.lines.insert(doc.lines.end(), lines.begin(), lines.end());
      return true;
    }
    const auto first = doc.lines.begin() + static_cast<ptrdiff_t>(span->begin + 1);
    doc.lines.erase(first, doc.lines.begin() + static_cast<ptrdiff_t>(span->end));
    doc.lines.insert(doc.lines.begin() + static_cast<ptrdiff_t>(span->begin + 1), lines.begin(),
                     lines.end());
    return true;
  });
}

bool DeleteIniSection(const std::wstring& file, const std::wstring& section) {
  return Modify(file, [&](Document& doc) {
    const auto span = FindSection(doc, section);
    if (!span) return false;
    doc.lines.erase(doc.lines.begin() + static_cast<ptrdiff_t>(span->begin),
                    doc.lines.begin() + static_cast<ptrdiff_t>(span->end));
    return true;
  });
}

}  // namespace platform
