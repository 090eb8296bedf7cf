#pragma once
// The song picker other windows call with request 4: it answers 1 with the chosen song read
// again into the songs buffer (its category in the categories buffer), or 2.
namespace tbk {

void SelectFileNumber();

} // namespace tbk
