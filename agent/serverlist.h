#pragma once
// The servers the agent can ask: its built-in list, or the lines of a "Hosts" file.
#include <QByteArray>
#include <QStringList>

namespace tbk::agent {

// The 18 built-in server lines, in "sites" reply form.
const QStringList &builtInServers();
// The text the server box starts with: the second line.
QString initialServerText();
// The server lines of a "Hosts" file's contents: the first line (the reply header) dropped,
// then only lines whose second field is "cddbp" (any case) kept, in file order.
QStringList serversFromHostsFile(const QByteArray &contents);

} // namespace tbk::agent
