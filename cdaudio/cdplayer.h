#pragma once
// The CD player window and its preferences.
#include <QtGlobal>

namespace tbk {

// Set before the player runs the album wizard for a disc the catalogue lacks (shared by all
// threads); the wizard that reads the disc on opening clears it.
extern quint8 ReadCDOnOpen;

// The window "CD Player": plays the disc, shows its times, recognises a catalogued disc and
// lists its songs, offers the album wizard for an unknown one. Runs on a thread of its own.
void IntegratedCDPlayer();
// The window "CD Player Preferences": the player's poll period, the setting CDTimer.
void CDSetup();

} // namespace tbk
