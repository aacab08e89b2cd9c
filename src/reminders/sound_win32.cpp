#include "reminders/sound_win32.h"

#include <windows.h>
#include <mmsystem.h>

namespace ordalis {

const void* Win32SoundPlayer::Load(std::wstring_view name) {
  if (const auto found = loaded_.find(name); found != loaded_.end()) return found->second;
  const std::wstring key(name);
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, key.c_str(), L"WAVE");
  HGLOBAL handle = resource ? LoadResource(module, resource) : nullptr;
  const void* bytes = handle ? LockResource(handle) : nullptr;
  loaded_.emplace(key, bytes);
  return bytes;
}

void Win32SoundPlayer::PlayResource(std::wstring_view name, bool wait) {
  if (const void* bytes = Load(name)) {
    sndPlaySoundW(static_cast<LPCWSTR>(bytes),
                  SND_MEMORY | SND_NODEFAULT | (wait ? SND_SYNC : SND_ASYNC));
  }
}

void Win32SoundPlayer::PlayFile(const std::wstring& path) {
  sndPlaySoundW(path.c_str(), SND_SYNC);
}

bool HasSoundDevice() {
  return waveOutGetNumDevs() > 0;
}

}  // namespace ordalis
