#pragma once
// The label designs: the wizard that makes a new label from the catalogue, the label form and
// the label list.
namespace tbk {

// Always adds a label. Called without an insert request (the frame, the album lists) it opens
// filled from the album in the album buffer. Answers completed when the label was saved.
void LabelWizard();
// Request 1 adds (over the record in the buffer: Copy), 2 changes, 3 deletes.
void UpdateLabels();
void BrowseLabels();

} // namespace tbk
