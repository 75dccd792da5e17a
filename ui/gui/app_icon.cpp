#include "ui/gui/app_icon.h"

#include <cmath>
#include <mutex>
#include <vector>

namespace ui::gui {
namespace {

struct Rgb {
  double r, g, b, a;
};

constexpr double kPi = 3.14159265358979323846;

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  double px = ax + t * dx - x, py = ay + t * dy - y;
  return std::sqrt(px * px + py * py);
}

// The design in unit coordinates (0..1 across the icon, y downwards).
Rgb Sample(double x, double y) {
  // Rounded square, corner radius 0.2.
  const double r = 0.2;
  double cx = x < r ? r : (x > 1 - r ? 1 - r : x);
  double cy = y < r ? r : (y > 1 - r ? 1 - r : y);
  if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r || x < 0 || x > 1 || y < 0 || y > 1) {
    return {0, 0, 0, 0};
  }
  // Background: blue, lighter at the top.
  Rgb c{0.10, 0.30 + 0.15 * (1 - y), 0.62 + 0.2 * (1 - y), 1};
  const double ox = 0.5, oy = 0.56;  // dial centre
  double dx = x - ox, dy = y - oy;
  double dist = std::sqrt(dx * dx + dy * dy);
  if (dist <= 0.40) c = {0.97, 0.97, 0.94, 1};                    // gauge face
  if (dist > 0.40 && dist <= 0.44) c = {0.05, 0.12, 0.30, 1};     // rim
  // Scale: ticks on the upper arc from 210 to -30 degrees.
  double angle = std::atan2(-dy, dx) * 180 / kPi;
  if (dist > 0.27 && dist < 0.37 && angle > -35 && angle < 215) {
    double step = std::fmod(angle + 30 + 360, 30.0);
    if (step < 4 || step > 26) c = {0.15, 0.15, 0.18, 1};
  }
  // Pointer at 50 degrees, with its hub.
  double tip = 50 * kPi / 180;
  if (SegmentDistance(x, y, ox, oy, ox + 0.33 * std::cos(tip), oy - 0.33 * std::sin(tip)) < 0.035) {
    c = {0.85, 0.10, 0.08, 1};
  }
  if (dist < 0.07) c = {0.15, 0.15, 0.18, 1};
  return c;
}

}  // namespace

unsigned AppIconPixel(int size, int x, int y) {
  // 4x4 samples per pixel smooth the edges.
  Rgb sum{0, 0, 0, 0};
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      Rgb s = Sample((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size);
      sum.r += s.r * s.a;
      sum.g += s.g * s.a;
      sum.b += s.b * s.a;
      sum.a += s.a;
    }
  }
  if (sum.a == 0) return 0;
  auto channel = [](double v) { return static_cast<unsigned>(v * 255 + 0.5) & 0xFF; };
  // Premultiplied-free colour: the average of the covered samples.
  return channel(sum.a / 16) << 24 | channel(sum.r / sum.a) << 16 | channel(sum.g / sum.a) << 8 |
         channel(sum.b / sum.a);
}

namespace {

HICON MakeIcon(int size) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = size;
  header.bV5Height = -size;  // top-down rows
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                    nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;
  auto* pixels = static_cast<unsigned*>(bits);
  // The mask: transparent where the design has no pixel (for displays
  // without alpha).
  std::vector<unsigned char> mask(static_cast<size_t>((size + 15) / 16 * 2) * size, 0);
  const int stride = (size + 15) / 16 * 2;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      unsigned p = AppIconPixel(size, x, y);
      pixels[y * size + x] = p;
      if ((p >> 24) < 0x80) mask[y * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
  }
  HBITMAP monochrome = CreateBitmap(size, size, 1, 1, mask.data());
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = monochrome;
  info.hbmColor = colour;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(monochrome);
  return icon;
}

}  // namespace

HICON AppIcon(int size) {
  static std::mutex mutex;
  static HICON large = nullptr, small = nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  HICON& icon = size <= 16 ? small : large;
  if (!icon) icon = MakeIcon(size <= 16 ? 16 : 32);
  return icon;
}

}  // namespace ui::gui
