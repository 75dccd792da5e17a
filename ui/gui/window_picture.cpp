#include "ui/gui/window_picture.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace ui::gui {

bool SaveWindowPicture(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up rows, as BMP files hold them
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  bool read = copied && GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                                  DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!read) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  // Written beside its final name and renamed, so a reader never sees half.
  const std::string part = path + ".part";
  FILE* out = std::fopen(part.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
            std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  ok = std::fclose(out) == 0 && ok;
  if (!ok || !MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(part.c_str());
    return false;
  }
  return true;
}

std::string NextPicturePath(const std::string& dir, const std::string& name) {
  static std::mutex mutex;
  static int next = 0;
  std::lock_guard<std::mutex> lock(mutex);
  if (next == 0) {
    // Pictures of programs that ran before keep their numbers.
    next = 1;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*.bmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        int n = 0;
        if (std::sscanf(found.cFileName, "%d-", &n) == 1 && n >= next) next = n + 1;
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  char number[16];
  std::snprintf(number, sizeof number, "%02d", next++);
  return dir + "\\" + number + "-" + name + ".bmp";
}

}  // namespace ui::gui
