#pragma once
// The query wizard's display texts, given to the wizard once at start-up before any window
// opens.

namespace tbk {

// Sets every display text of the query wizard, in a fixed order.
void SetQueryWizardTexts();

} // namespace tbk
