#include "mainwindow/ui/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QUrl>

namespace scopewatch {
namespace {

// The folder of the sounds: installed, or in the build folder beside the program.
QString SoundsFolder() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {QString("../share/scopewatch/sounds"), QString("sounds")}) {
        if (QFileInfo(programFolder.filePath(candidate)).isDir()) {
            return QDir::cleanPath(programFolder.filePath(candidate));
        }
    }
    return {};
}

constexpr std::array kCues = {SoundCue::NewConflict, SoundCue::ChatLine, SoundCue::PilotJoined};

}  // namespace

const char* SoundFileName(SoundCue cue) {
    switch (cue) {
        case SoundCue::NewConflict:
            return "new-conflict.wav";
        case SoundCue::ChatLine:
            return "chat-line.wav";
        case SoundCue::PilotJoined:
            return "pilot-joined.wav";
    }
    return "";
}

SoundPlayer::SoundPlayer() = default;
SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::Load() {
    loaded_ = true;
    const QString folder = SoundsFolder();
    if (folder.isEmpty() || QMediaDevices::defaultAudioOutput().isNull()) {
        return;  // silence
    }
    for (size_t i = 0; i < kCues.size(); ++i) {
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(QDir(folder).filePath(SoundFileName(kCues[i]))));
        effects_.at(i) = std::move(effect);
    }
}

void SoundPlayer::Play(SoundCue cue) {
    if (!loaded_) {
        Load();
    }
    const auto& effect = effects_.at(static_cast<size_t>(cue));
    if (effect && effect->status() != QSoundEffect::Error) {
        effect->play();
    }
}

}  // namespace scopewatch
