#pragma once
// The media formats: the list (also the song browse's media picker, request 4) and its form,
// which adds a new format only when it completes.
namespace tbk {

void BrowseMedia();
void UpdateMedia();

} // namespace tbk
