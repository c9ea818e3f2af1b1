// Our editors in the benchmarks as the program configures them: the main window's editing
// options (ApplyEditingSettings) and the highlighter the program gives a file, chosen by the
// program's own code. A main window, never shown, is made for that: its choice by the file's
// name (what File Open does) and its Highlighter menu give highlighters it made and
// coloured itself, which a benchmark's editor then shares.
#pragma once

#include "app/EditorSettings.h"
#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/editor/QvEdit.h"

#include <memory>
#include <string>

class TProgramConfiguration {
public:
    TProgramConfiguration() : form_(std::make_unique<TfrmEdit>(nullptr)) {}

    // The highlighter the program gives a file of this path when it opens it.
    TQvCustomHighlighter* ForFile(const std::string& Path)
    {
        form_->lblFileName->SetCaption(Path);
        form_->SelectHighlighterByExt();
        return form_->Editor->GetHighlighter();
    }

    // The highlighter a choice of the Highlighter menu gives (e.g. &TfrmEdit::CSS1Click).
    TQvCustomHighlighter* ByMenu(void (TfrmEdit::*Choice)(TObject*))
    {
        (form_.get()->*Choice)(nullptr);
        return form_->Editor->GetHighlighter();
    }

    TfrmEdit& Form() { return *form_; }

    // The program's editing options and the highlighter for Path, on Editor.
    void Configure(TQvEdit& Editor, const std::string& Path)
    {
        ApplyEditingSettings(Editor);
        Editor.SetHighlighter(ForFile(Path));
    }

private:
    std::unique_ptr<TfrmEdit> form_;
};
