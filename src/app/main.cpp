// Quorvel: the application object titled "Quorvel", the main window and its dialogs made
// in their order, the message loop. Command-line arguments are not read.
#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
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
        Application->CreateForm(frmAbout);
        Application->CreateForm(frmCssMaker);
        Application->Run();
    } catch (const Exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    return 0;
}
