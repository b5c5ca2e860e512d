#pragma once

#include <QObject>
#include <QSoundEffect>
#include <array>
#include <memory>

#include "mainwindow/SoundCues.h"

namespace scopewatch {

// Plays the program's sounds, short tones kept as WAV files in the program's data folder
// (share/scopewatch/sounds beside its bin folder; sounds/ beside a program in its build
// folder). The files are loaded at the first sound. Without a sound device, or without the
// files, it stays silent and nothing else changes.
class SoundPlayer {
  public:
    SoundPlayer();
    ~SoundPlayer();

    void Play(SoundCue cue);

  private:
    void Load();

    bool loaded_ = false;
    std::array<std::unique_ptr<QSoundEffect>, 3> effects_;
};

// The file of a sound's tone.
const char* SoundFileName(SoundCue cue);

}  // namespace scopewatch
