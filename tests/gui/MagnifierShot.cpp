// Takes a picture of the screen loupe over a sample picture, as a user sees
// it: run under wine with a display (Xvfb),
//
//   duplora_magnifier_shot.exe OUT.png [MODE [PICTURE]]
//
// MODE is the display mode (0 snapshot, the default; 1 live; 2 click-through).
// The loupe uses a settings file in a scratch folder, not the user's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/MyProfStr.h"
#include "platform/GdiPlus_win.h"
#include "platform/ImageDecoder.h"
#include "platform/Text.h"
#include "tests/gui/BitsWindow.h"
#include "tests/gui/MessagePump.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"
#include "viewing/CWinLupe.h"

namespace {

constexpr int kPictureLeft = 60;
constexpr int kPictureTop = 60;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: duplora_magnifier_shot OUT.png [MODE [PICTURE]]\n");
    return 2;
  }
  platform::EnsureGdiplusStarted();
  const std::wstring picturePath =
      argc > 3 ? argv[3] : platform::FromUtf8(DUPLORA_SAMPLES) + L"\\shapes.png";
  const int mode = argc > 2 ? _wtoi(argv[2]) : 0;
  auto picture = platform::DecodedImage::Load(picturePath);
  std::optional<platform::Bitmap32> bits;
  platform::BitmapCollector whole;
  if (picture && picture->ReadScaled(picture->Width(), picture->Height(), whole))
    bits = whole.Take();
  if (!bits) {
    std::fprintf(stderr, "cannot read the picture\n");
    return 1;
  }
  guitest::BitsWindow window;
  if (!window.Create(*bits, kPictureLeft, kPictureTop)) return 1;
  const int width = bits->width;
  const int height = bits->height;
  guitest::PumpUntil([&] {
    const int x = kPictureLeft + width / 2;
    const int y = kPictureTop + height / 2;
    return guitest::ScreenPixel(x, y) == guitest::PixelAt(*bits, width / 2, height / 2);
  });

  testsupport::TempFolder temp;
  app::CMyProfStr store;
  store.Init(temp.MakeFolder(L"program") + L"\\Duplora.exe", temp.MakeFolder(L"appdata"));
  store.WriteInt(L"LUPE", L"cx", 360);
  store.WriteInt(L"LUPE", L"cy", 220);
  store.WriteInt(L"LUPE", L"zoom_mode", mode);
  viewing::CWinLupe lupe(store);
  // Over the left edge of the disc of the shapes picture.
  ::SetCursorPos(kPictureLeft + width * 54 / 100, kPictureTop + height * 35 / 100);
  lupe.RunCommand(nullptr);
  ::SendMessageW(lupe.hwnd(), WM_KEYDOWN, '3', 0);
  // Until the loupe's factor text stands on the screen.
  const viewing::LupeRect shown = lupe.WindowRect();
  guitest::PumpUntil([&] {
    return guitest::ScreenShows({shown.left, shown.top, shown.left + 60, shown.top + 30},
                                RGB(255, 0, 255));
  });

  RECT area{0, 0, std::max<int>(kPictureLeft + width, shown.right) + 40,
            std::max<int>(kPictureTop + height, shown.bottom) + 40};
  const auto screen = guitest::ScreenBits(area);
  if (!screen) return 1;
  const bool written =
      testsupport::WritePng(argv[1], screen->width, screen->height, [&](int x, int y) {
        const COLORREF c = guitest::PixelAt(*screen, x, y);
        return testsupport::Rgba{GetRValue(c), GetGValue(c), GetBValue(c), 255};
      });
  lupe.Hide();
  return written ? 0 : 1;
}
