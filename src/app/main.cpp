// Quorvel: the application object titled "Quorvel", the main window and the two dialogs
// the language file retitles made in their order, the message loop. The about box and the
// CSS rule dialog are made at their first showing. Command-line arguments are not read.
#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"

int main()
{
    Application->Initialize();
    try {
        Application->SetTitle("Quorvel");
        Application->CreateForm(frmEdit);
        Application->CreateForm(frmSearch);
        Application->CreateForm(frmGoTo);
        Application->Run();
    } catch (const Exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    return 0;
}
