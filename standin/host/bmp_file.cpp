// BMP files: a sample image for the viewer to show, and the host's screenshots.
#include "standin_host.h"

#include <cstdlib>

namespace standin {

namespace {

int Stride(int width) { return (width * 3 + 3) & ~3; }

// Under Wine the pixels of a child window that belongs to another process never reach
// the screen (the window keeps its place and size). The stand-in viewer draws a picture
// of itself on request; it is laid over the shot at the viewer's place, so that the shot
// shows what a Windows user sees.
void OverlayViewerPicture(HDC memory, const RECT& shotRect, HWND viewer, const wchar_t* picturePath) {
  DeleteFileW(picturePath);
  // A viewer that does not answer within 2 s leaves the shot as the screen shows it.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(viewer, RegisterWindowMessageW(L"PxViewerSnapshot"), 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
    return;
  HBITMAP picture =
      (HBITMAP)LoadImageW(nullptr, picturePath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!picture) return;
  RECT client;
  GetClientRect(viewer, &client);
  POINT origin = {0, 0};
  ClientToScreen(viewer, &origin);
  HDC source = CreateCompatibleDC(memory);
  HGDIOBJ old = SelectObject(source, picture);
  BitBlt(memory, origin.x - shotRect.left, origin.y - shotRect.top, client.right, client.bottom, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(picture);
  DeleteFileW(picturePath);
}

}  // namespace

BITMAPINFO Rgb24Info(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  return info;
}

bool WriteBmp(const wchar_t* path, int width, int height, const void* bits) {
  BITMAPINFOHEADER info = Rgb24Info(width, height).bmiHeader;
  DWORD size = Stride(width) * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + size;
  HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) && written == sizeof file &&
            WriteFile(out, &info, sizeof info, &written, nullptr) && written == sizeof info &&
            WriteFile(out, bits, size, &written, nullptr) && written == size;
  CloseHandle(out);
  return ok;
}

bool WriteSampleBmp(const wchar_t* path, int width, int height, COLORREF color) {
  int stride = Stride(width);
  BYTE* bits = static_cast<BYTE*>(std::calloc(stride * height + 1, 1));
  if (!bits) return false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      BYTE* pixel = bits + y * stride + x * 3;
      pixel[0] = GetBValue(color);
      pixel[1] = GetGValue(color);
      pixel[2] = GetRValue(color);
    }
  }
  bool ok = WriteBmp(path, width, height, bits);
  std::free(bits);
  return ok;
}

bool SaveScreenshot(HWND window, HWND viewer, const wchar_t* path) {
  RECT r;
  GetWindowRect(window, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = Rgb24Info(width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  wchar_t picture[MAX_PATH] = {};
  GetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", picture, MAX_PATH);
  if (viewer && picture[0]) OverlayViewerPicture(memory, r, viewer, picture);
  SelectObject(memory, old);
  GdiFlush();
  bool ok = bits && WriteBmp(path, width, height, bits);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace standin
