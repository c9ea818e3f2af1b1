// How the main window's editor edits: its options, tab width, tab key and maximum line
// width. Kept apart from the window's other set-up so that tests edit with exactly these.
#pragma once

class TCustomQvEdit;

// Gives Editor the main window's editing options.
void ApplyEditingSettings(TCustomQvEdit& Editor);
