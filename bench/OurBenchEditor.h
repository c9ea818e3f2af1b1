// One of our editors on a shown form, in the font and size the editor benchmarks give both
// sides: DejaVu Sans Mono 10, the editor 800x600 on a form 40 pixels larger.
#pragma once

#include "EditorBenchSupport.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"

#include <functional>
#include <memory>

class TOurBenchEditor {
public:
    // Setup runs on the editor before its form is shown (options, settings).
    explicit TOurBenchEditor(const std::function<void(TQvEdit&)>& Setup = {})
        : form_(std::make_unique<TForm>(nullptr))
    {
        form_->SetBounds(0, 0, Width + 40, Height + 40);
        Editor = new TQvEdit(form_.get());
        TFont font;
        font.SetName("DejaVu Sans Mono");
        font.SetSize(10);
        Editor->SetFont(&font);
        Editor->SetBounds(0, 0, Width, Height);
        Editor->SetParent(form_.get());
        if (Setup)
            Setup(*Editor);
        form_->Show();
        WaitUntilShown();
    }

    static constexpr int Width = 800;
    static constexpr int Height = 600;
    TQvEdit* Editor;  // owned by the form

private:
    std::unique_ptr<TForm> form_;
};
