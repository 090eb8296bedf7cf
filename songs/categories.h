#pragma once
// The categories: the list (also the category picker of other windows, request 4) and the
// form that the list calls.
namespace tbk {

void BrowseCategories();
void UpdateCategories();

} // namespace tbk
