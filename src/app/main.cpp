// Quorvel: the application object titled "Quorvel", the main window, the message loop.
// The find, go-to, about and CSS rule dialogs are made at their first showing.
// Command-line arguments are not read.
#include "app/MainForm.h"

int main()
{
    Application->Initialize();
    try {
        Application->SetTitle("Quorvel");
        Application->CreateForm(frmEdit);
        Application->Run();
    } catch (const Exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    return 0;
}
