#pragma once
// The CD database wizard: audio CDs entered one after another. For each, the disc in the drive
// is read and looked up through the lookup agent on the first Next, the user reviews the album
// and its songs, and Finish stores it and primes the next, until Cancel.
namespace tbk {

// Answers completed when at least one album was stored, leaving the last one in the buffer.
void CDDBWizard();

} // namespace tbk
