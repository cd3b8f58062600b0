#include "renderer/bitmap_texture.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

namespace numerabo {

BitmapTexture bodyTexture;
BitmapTexture sphereTexture;

namespace {

// The open bitmap file, read front to back with the sequential-scan hint.
class FileSource : public ByteSource {
 public:
  explicit FileSource(const wchar_t* path)
      : file_(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    LARGE_INTEGER size;
    if (file_ != INVALID_HANDLE_VALUE && GetFileSizeEx(file_, &size)) remaining_ = size.QuadPart;
  }
  ~FileSource() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

  uint32_t Read(void* buffer, uint32_t size) override {
    DWORD got = 0;
    if (!ReadFile(file_, buffer, size, &got, nullptr)) return 0;
    remaining_ = got < remaining_ ? remaining_ - got : 0;
    return got;
  }
  uint64_t Remaining() const override { return remaining_; }

 private:
  HANDLE file_;
  uint64_t remaining_ = 0;
};

}  // namespace

BitmapTexture::~BitmapTexture() { Release(); }

bool BitmapTexture::Create(const wchar_t* name) {
  Release();
  const bool fits = CopyFileName(fileName, name);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  handle = texture + 1;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  return fits;
}

bool BitmapTexture::Load(const wchar_t* name) {
  if (!Create(name)) return false;
  BitmapImage image;
  BitmapStatus status;
  {
    FileSource file(fileName);
    if (!file.IsOpen()) return false;
    status = ReadBitmap(file, image);
  }  // the file is closed before the upload, as soon as its bytes are in
  if (image.hasSize) {
    width = image.width;
    height = image.height;
  }
  if (status != BitmapStatus::kOk) return false;

  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  // A negative (top-down) height goes through as read; GLU refuses it and
  // the texture stays without an image, which is still a completed load.
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, image.pixels.get());
  return true;
}

void BitmapTexture::Bind() const { glBindTexture(GL_TEXTURE_2D, handle - 1); }

void BitmapTexture::Release() {
  if (handle != 0) {
    GLuint texture = handle - 1;
    glDeleteTextures(1, &texture);
    handle = 0;
  }
}

}  // namespace numerabo
