#pragma once
// The five-page "Setup Wizard" for a new user's basic settings, modal on the caller's thread.
// Finish writes them; Cancel ends the program.
namespace tbk {

void SetupWizard();

} // namespace tbk
