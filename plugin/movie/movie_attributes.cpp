// The movie attributes of the EMBED element (looping, starting by itself, the controller's
// look, the play rate) and the loop limit the preferences put on a looping movie.
#include "movie/movie_instance.h"

#include "host/plugin_globals.h"

#include <cstdlib>
#include <cstring>

namespace {

enum class Attribute {
    Loop,
    AutoPlay,
    TopLeftMovie,
    ScaleMovieToFit,
    WithBadge,
    NotVisible,
    Controller,
    PlayRate,
    WithFrame,
    PlayEveryFrame,
    Volume,
    KeepAspectRatio
};

struct AttributeName {
    const char* Name;
    Attribute Which;
    // The name matches only when written exactly so; otherwise case does not matter.
    bool ExactCase;
};

const AttributeName MovieAttributes[] = {
    {"LOOP", Attribute::Loop, false},
    {"AUTOPLAY", Attribute::AutoPlay, false},
    {"MCTOPLEFTMOVIE", Attribute::TopLeftMovie, false},
    {"MCSCALEMOVIETOFIT", Attribute::ScaleMovieToFit, false},
    {"MCWITHBADGE", Attribute::WithBadge, false},
    {"MCNOTVISIBLE", Attribute::NotVisible, false},
    {"CONTROLLER", Attribute::Controller, false},
    {"PLAYRATE", Attribute::PlayRate, false},
    // The one name matched only as written, in capitals, as the plug-in always has; nothing
    // draws a frame from it, so the difference shows only in WithFrame.
    {"MCWITHFRAME", Attribute::WithFrame, true},
    {"PLAYEVERYFRAME", Attribute::PlayEveryFrame, false},
    {"VOLUME", Attribute::Volume, false},
    {"KEEPASPECTRATIO", Attribute::KeepAspectRatio, false},
};

// TRUE when `text` is `word`, ignoring case; FALSE for a null text.
BOOL IsWord(const char* text, const char* word) {
    return text && lstrcmpiA(text, word) == 0;
}

// Sets `field` from a "TRUE" or "FALSE" value, in any case; any other value leaves it.
void ReadSwitch(const char* value, BOOL& field) {
    if (IsWord(value, "TRUE"))
        field = TRUE;
    else if (IsWord(value, "FALSE"))
        field = FALSE;
}

// TRUE when `text` is empty or holds decimal digits only: no sign, no space, no point.
BOOL IsDigitsOrEmpty(const char* text) {
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return FALSE;
    }
    return TRUE;
}

// LOOP: TRUE, FALSE, PALINDROME, or a count of wraps (digits only; empty counts 0). FALSE
// stops looping but leaves a palindrome asked for earlier, and a count, as they were.
void ReadLoop(MovieInstance& movie, const char* value) {
    if (IsWord(value, "TRUE")) {
        movie.Loop = TRUE;
    } else if (IsWord(value, "FALSE")) {
        movie.Loop = FALSE;
    } else if (IsWord(value, "PALINDROME")) {
        movie.Loop = TRUE;
        movie.Palindrome = TRUE;
    } else if (value && IsDigitsOrEmpty(value)) {
        movie.LoopsLeft = static_cast<LONG>(atol(value));
        movie.Loop = TRUE;
    }
}

// CONTROLLER: TRUE shows the controller, FALSE hides it, BADGE hides it behind a badge.
void ReadController(MovieInstance& movie, const char* value) {
    if (IsWord(value, "TRUE")) {
        movie.ControllerHidden = FALSE;
    } else if (IsWord(value, "FALSE")) {
        movie.ControllerHidden = TRUE;
    } else if (IsWord(value, "BADGE")) {
        movie.ControllerHidden = TRUE;
        movie.WithBadge = TRUE;
    }
}

const AttributeName* FindAttribute(const char* name) {
    for (const AttributeName& attribute : MovieAttributes) {
        BOOL same = attribute.ExactCase ? strcmp(name, attribute.Name) == 0
                                        : lstrcmpiA(name, attribute.Name) == 0;
        if (same) return &attribute;
    }
    return nullptr;
}

} // namespace

void MovieInstance::ReadMovieAttributes(short argc, char* argn[], char* argv[]) {
    if (!argn || !argv) return;
    for (short index = 0; index < argc; ++index) {
        if (argn[index]) ReadMovieAttribute(argn[index], argv[index]);
    }
}

void MovieInstance::ReadMovieAttribute(const char* name, const char* value) {
    const AttributeName* attribute = FindAttribute(name);
    if (!attribute) return; // a page attribute, which the base has read, or an unknown one
    switch (attribute->Which) {
    case Attribute::Loop:
        ReadLoop(*this, value);
        break;
    case Attribute::AutoPlay:
        ReadSwitch(value, AutoPlay);
        break;
    case Attribute::TopLeftMovie:
        ReadSwitch(value, TopLeftMovie);
        break;
    case Attribute::ScaleMovieToFit:
        ReadSwitch(value, ScaleMovieToFit);
        break;
    case Attribute::WithBadge:
        ReadSwitch(value, WithBadge);
        break;
    case Attribute::NotVisible:
        ReadSwitch(value, ControllerHidden);
        break;
    case Attribute::Controller:
        ReadController(*this, value);
        break;
    case Attribute::PlayRate: {
        // The rate is taken as written, as a 16.16 number: 65536 is normal speed. A value
        // that is not a number withdraws an earlier valid one.
        int rate = PlayRate;
        PlayRateGiven = ParseNumber(value, &rate);
        PlayRate = rate;
        break;
    }
    case Attribute::WithFrame:
        ReadSwitch(value, WithFrame);
        break;
    case Attribute::PlayEveryFrame:
        ReadSwitch(value, PlayEveryFrame);
        break;
    case Attribute::Volume:
        VolumeGiven = ParseNumber(value, &Volume);
        break;
    case Attribute::KeepAspectRatio:
        // Recognised, and nothing is kept: no part of the instance would read it.
        break;
    }
}

void MovieInstance::ApplyLoopLimit() {
    // The user's limit replaces any count the page gave with LOOP.
    if (!Loop || !PluginPreferences) return;
    if (PluginPreferences->Flags & Preferences::StopLooping)
        LoopsLeft = PluginPreferences->LoopCount;
}
