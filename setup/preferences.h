#pragma once
// "Preferences": the program settings in seven tabs, edited in memory at once, written on OK
// and reloaded on Cancel; also starts the housekeeping processes, the File Manager and the
// Setup Wizard. Before the wizard was finished once, the wizard runs instead.
namespace tbk {

void EditPreferences();

} // namespace tbk
