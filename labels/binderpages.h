#pragma once
// Track lists of a range of albums by file number (PagePrintRange): binder pages (a coloured
// block per album on landscape pages, for a CD binder) and flap pages (a 4.75-inch square insert
// per album, for a CD case), and the dialog that asks for the style and the range.
namespace tbk {

// "CD Binder Pages": the style and the range, then the pages of that style.
void CDBinderPages();
// The pages of the albums in PagePrintRange, always into the preview.
void PrintCDBinderPages();
void PrintCDFlapPages();

} // namespace tbk
