// The main window in a temporary program folder, shown offscreen, with every modal
// question answered from a script: message boxes take the next queued answer, the open
// and save dialogs the next queued file name ("" cancels). What was asked is recorded.
#pragma once

#include "TempFolder.h"

#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/controls/ComCtrls.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "qvedit/editor/QvEdit.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class TMainFormFixture : public ::testing::Test {
protected:
    // AsApplicationsMain: the window is made as the program makes it, the application's
    // main window (which the dialogs centre on).
    explicit TMainFormFixture(bool AsApplicationsMain = false)
        : savedCodePage_(GetACP()), savedFolder_(std::filesystem::current_path())
    {
        SetAnsiCodePage(1252);
        std::filesystem::create_directories(folder_.Path() + "languages");
        AddLanguage("English_lang.dat", FixtureLanguage());
        previousHook_ = SetModalHook([this](const TModalRequest& Request) { return Answer(Request); });
        if (AsApplicationsMain)
            Application->CreateForm(form_);
        else
            form_ = new TfrmEdit(nullptr);
        frmEdit = form_;
        form_->SetProgramFolder(folder_.Path());
        frmSearch = new TfrmSearch(nullptr);
        frmGoTo = new TfrmGoTo(nullptr);
    }

    ~TMainFormFixture() override
    {
        delete frmGoTo;
        delete frmSearch;
        delete form_;
        frmGoTo = nullptr;
        frmSearch = nullptr;
        frmEdit = nullptr;
        SetModalHook(previousHook_);
        Application->SetLanguage("English");
        SetAnsiCodePage(savedCodePage_);
        // The folder list makes the folders it shows current; the temporary one goes.
        std::filesystem::current_path(savedFolder_);
        EXPECT_TRUE(boxAnswers_.empty()) << "an expected message box was not shown";
        EXPECT_TRUE(fileChoices_.empty()) << "an expected file dialog was not shown";
    }

    TfrmEdit& Form() { return *form_; }
    const std::string& Folder() const { return folder_.Path(); }

    // Shows the window, which runs its first-showing set-up.
    void Start() { form_->Show(); }

    // Picks a side-pane page's tab as the user does: the page control shows the page,
    // then tells the window.
    void PickSidePage(TTabSheet* Page)
    {
        form_->PageControl1->SetActivePage(Page);
        form_->PageControl1->OnChange(form_->PageControl1);
    }
    // Picks every side-pane page in turn and ends on the file manager, as the window opens.
    void PickEverySidePage()
    {
        for (TTabSheet* page : {form_->tInsert, form_->TabSheet3, form_->TabSheet1, form_->tCoding,
                                form_->tFileManager})
            PickSidePage(page);
    }

    // Paints the editor's client area as a paint event does, into a bitmap made once (so
    // that its pixels are not counted as the paint's); answers the bitmap.
    TBitmap& PaintEditor()
    {
        if (editorPaint_ == nullptr) {
            editorPaint_ = std::make_unique<TBitmap>();
            editorPaint_->SetSize(form_->Editor->ClientWidth(), form_->Editor->ClientHeight());
        }
        form_->Editor->Canvas()->SetHandle(editorPaint_->GetCanvas()->GetHandle());
        form_->Editor->Perform(WM_PAINT, 0, 0);
        form_->Editor->Canvas()->SetHandle(nullptr);
        return *editorPaint_;
    }

    void QueueBox(int Answer) { boxAnswers_.push_back(Answer); }
    void QueueFile(const std::string& Path) { fileChoices_.push_back(Path); }
    const std::vector<TModalRequest>& Asked() const { return asked_; }
    // The texts of the message boxes shown so far.
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const TModalRequest& request : asked_)
            if (request.Kind == TModalKind::MessageBox)
                texts.push_back(request.Text);
        return texts;
    }

    std::string Write(const std::string& Name, const std::string& Bytes) const
    {
        return folder_.Write(Name, Bytes);
    }
    void AddLanguage(const std::string& Name, const std::string& Bytes) const
    {
        folder_.Write("languages/" + Name, Bytes);
    }
    // The whole file, or "<missing>".
    static std::string Contents(const std::string& Path)
    {
        return FileExists(Path) ? ReadFileBytes(Path) : std::string("<missing>");
    }
    std::string SettingsText() const { return Contents(folder_.Path() + "settings.ini"); }

    // A language file that gives every key the caption "~" + the key.
    static std::string FixtureLanguage()
    {
        return ReadFileBytes(std::string(QV_TEST_DATA_DIR) + "/languages/Fixture_lang.dat");
    }

    // Runs a command that the user may end by the silent abort; true when it was aborted.
    template <class Command>
    static bool Aborted(Command&& command)
    {
        try {
            command();
        } catch (const EAbort&) {
            return true;
        }
        return false;
    }

private:
    int Answer(const TModalRequest& Request)
    {
        asked_.push_back(Request);
        if (Request.Kind == TModalKind::MessageBox) {
            if (boxAnswers_.empty()) {
                ADD_FAILURE() << "unexpected message box: " << Request.Text;
                return IDCANCEL;
            }
            const int answer = boxAnswers_.front();
            boxAnswers_.pop_front();
            return answer;
        }
        if (fileChoices_.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << Request.Text;
            return IDCANCEL;
        }
        const std::string choice = fileChoices_.front();
        fileChoices_.pop_front();
        auto* dialog = dynamic_cast<TOpenDialog*>(ExecutingDialog());
        if (choice.empty() || dialog == nullptr)
            return IDCANCEL;
        dialog->SetFileName(choice);
        return IDOK;
    }

    Cardinal savedCodePage_;
    std::filesystem::path savedFolder_;
    TTempFolder folder_;
    TModalHook previousHook_;
    TfrmEdit* form_ = nullptr;
    std::deque<int> boxAnswers_;
    std::deque<std::string> fileChoices_;
    std::vector<TModalRequest> asked_;
    std::unique_ptr<TBitmap> editorPaint_;
};
