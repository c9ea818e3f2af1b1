// Quorvel: the application object titled "Quorvel", the main window, the message loop.
#include "platform/forms/Forms.h"

int main()
{
    Application->Initialize();
    Application->SetTitle("Quorvel");
    TForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    mainForm->SetCaption("Quorvel");
    Application->Run();
    return 0;
}
