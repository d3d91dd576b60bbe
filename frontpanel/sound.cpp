// System sounds: MessageBeep on Windows, libcanberra event sounds elsewhere,
// with the plain beep as the fallback when no sound service is there.
#include "frontpanel/sound.h"

#include <QApplication>

#include "app/settings.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(TM650_HAVE_CANBERRA)
#include <canberra.h>
#endif

const char* DesktopSoundName(int32_t soundCode) {
  switch (soundCode) {
    case SOUND_ASTERISK: return "dialog-information";
    case SOUND_EXCLAMATION: return "dialog-warning";
    case SOUND_HAND: return "dialog-error";
    case SOUND_QUESTION: return "dialog-question";
    default: return "bell";  // the standard beep, the default sound and any other code
  }
}

bool SoundBeep(SoundLayer& layer, int32_t soundCode) {
  if (soundCode == SOUND_NONE) return true;
  return layer.play(soundCode);
}

namespace {

#ifdef _WIN32

class MessageBeepSound : public SoundLayer {
 public:
  bool play(int32_t soundCode) override {
    return MessageBeep(static_cast<UINT>(soundCode)) != 0;
  }
};

#elif defined(TM650_HAVE_CANBERRA)

// Errors that only say there is no sound here (no device, no daemon, no such
// sound in the theme): the plain beep is tried and the beep counts as sounded.
bool MeansNoSoundHere(int error) {
  switch (error) {
    case CA_ERROR_NOTSUPPORTED:
    case CA_ERROR_NOTFOUND:
    case CA_ERROR_NODRIVER:
    case CA_ERROR_NOTAVAILABLE:
    case CA_ERROR_DISCONNECTED:
    case CA_ERROR_CANCELED:
    case CA_ERROR_FORKED:
    case CA_ERROR_IO:
    case CA_ERROR_CORRUPT:
    case CA_ERROR_TOOBIG:
    case CA_ERROR_ACCESS:
    case CA_ERROR_SYSTEM:
      return true;
    default:
      return false;
  }
}

class DesktopSound : public SoundLayer {
 public:
  ~DesktopSound() override {
    if (context_) ca_context_destroy(context_);
  }

  bool play(int32_t soundCode) override {
    heard_ = true;
    if (soundCode == SOUND_STANDARD_BEEP) return plainBeep();
    const int error = playEvent(DesktopSoundName(soundCode));
    if (error == CA_SUCCESS || error == CA_ERROR_DISABLED) return true;  // disabled: the user's choice
    heard_ = !MeansNoSoundHere(error);
    if (!heard_) return plainBeep();
    return false;
  }

  bool heard() const override { return heard_; }

 private:
  static bool plainBeep() {
    QApplication::beep();
    return true;
  }

  int playEvent(const char* name) {
    if (!context_) {
      const int error = ca_context_create(&context_);
      if (error != CA_SUCCESS) {
        context_ = nullptr;
        return error == CA_ERROR_OOM ? error : CA_ERROR_NOTAVAILABLE;
      }
      ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "TM650E", nullptr);
    }
    return ca_context_play(context_, 0, CA_PROP_EVENT_ID, name, CA_PROP_EVENT_DESCRIPTION,
                           "Knitting computer beep", nullptr);
  }

  ca_context* context_ = nullptr;
  bool heard_ = true;
};

#else

class PlainBeep : public SoundLayer {
 public:
  bool play(int32_t) override {
    QApplication::beep();
    return true;
  }
};

#endif

}  // namespace

std::unique_ptr<SoundLayer> MakeSystemSoundLayer() {
#ifdef _WIN32
  return std::make_unique<MessageBeepSound>();
#elif defined(TM650_HAVE_CANBERRA)
  return std::make_unique<DesktopSound>();
#else
  return std::make_unique<PlainBeep>();
#endif
}
