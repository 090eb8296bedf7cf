#pragma once
// The DJ log: a log sheet of the songs the user picks with the query wizard, in media, file
// number and title order, with each song's category, notes column and year.
#include <QString>

namespace tbk {

void PrintDJLog();
// The same over another field list for the wizard; a list it refuses is reported and the log
// goes on (the field lists are the program's own, so only this way can one be refused).
void printDJLogWith(const QString &fieldList);

void registerDJLog();

} // namespace tbk
