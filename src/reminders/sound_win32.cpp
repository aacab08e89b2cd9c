#include "reminders/sound_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include "win32/libraries.h"

namespace ordalis {

namespace {

// The sound library is loaded when the first sound plays or the options
// ask for a device, not at every start; from the system folder only.
template <typename Function>
Function FromWinmm(const char* name) {
  static const HMODULE winmm = win32::SystemLibrary(L"winmm.dll");
  return win32::Export<Function>(winmm, name);
}

void PlaySoundOnce(LPCWSTR sound, UINT flags) {
  if (const auto play = FromWinmm<decltype(&sndPlaySoundW)>("sndPlaySoundW")) play(sound, flags);
}

}  // namespace

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
    PlaySoundOnce(static_cast<LPCWSTR>(bytes),
                  SND_MEMORY | SND_NODEFAULT | (wait ? SND_SYNC : SND_ASYNC));
  }
}

void Win32SoundPlayer::PlayFile(const std::wstring& path) {
  PlaySoundOnce(path.c_str(), SND_SYNC);
}

bool HasSoundDevice() {
  const auto devices = FromWinmm<decltype(&waveOutGetNumDevs)>("waveOutGetNumDevs");
  return devices && devices() > 0;
}

}  // namespace ordalis
