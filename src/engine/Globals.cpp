#include "engine/KeyNotes.h"
#include "engine/Settings.h"

TSettings Settings;
KeyNoteTable KeyNotes{};
