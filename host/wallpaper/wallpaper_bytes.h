// A wallpaper file's bytes, read so that the start never waits on the
// user's system: a share off the network, a card reader without a card, a
// cloud file kept online only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace numerabo {

enum class WallpaperRead {
  Read,      // bytes holds the whole file
  Missing,   // no such file, or it could not be read
  TooLarge,  // more than the bound: no wallpaper the stand-in reads whole
  NotLocal,  // on a share, a removable or network drive, or a cloud file not on this disk
  TimedOut,  // no answer within the time given
};

// Files larger than this are left to Windows' own copy of the picture: a
// wallpaper of gigabytes must not be read whole. A 48-megapixel phone photo
// is 10 to 25 MB as a JPEG.
constexpr size_t kLargestWallpaperFile = size_t{48} << 20;

// Reads path on a thread of its own and waits for it at most timeoutMs. A
// read that does not end in time is left to itself: it holds its own state
// and touches nothing of the caller's. No system error box appears.
// meanwhile, where given, runs on the caller's thread while the file is
WallpaperRead ReadWallpaperBytes(const std::wstring& path, uint32_t timeoutMs, std::vector<uint8_t>* bytes,
                                 size_t largest = kLargestWallpaperFile);

}  // namespace numerabo
