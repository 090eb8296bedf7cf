#include "agent/serverlist.h"

#include "agent/cddbtokens.h"

namespace tbk::agent {

namespace {
QString line(const char *host, int port, const char *lat, const char *lon, const char *place) {
    return QStringLiteral("%1 cddbp %2 - %3 %4 # %5")
        .arg(QLatin1String(host)).arg(port).arg(QLatin1String(lat), QLatin1String(lon),
                                                QLatin1String(place));
}
} // namespace

// Host names are placeholders under the reserved example domain: the user picks a real server
// through a "Hosts" file or by typing it.
const QStringList &builtInServers() {
    static const QStringList servers = {
        line("nz.cddb.example.net", 888, "N041.17", "E174.47", "New Zealand - Palmerstown North"),
        line("us-fremont.cddb.example.net", 8880, "N037.23", "W122.01", "USA - Fremont, CA"),
        line("us-scottsdale.cddb.example.net", 888, "N033.29", "W111.55",
             "USA - Scottsdale, AZ (unofficial)"),
        line("ru.cddb.example.net", 888, "N055.45", "E037.35", "Russia - Moscow"),
        line("us-austin.cddb.example.net", 888, "N030.17", "W097.44", "USA - Austin, TX"),
        line("uk.cddb.example.net", 888, "N051.30", "E000.10", "UK - London"),
        line("us-santarosa.cddb.example.net", 888, "N038.26", "W122.42", "USA - Santa Rosa, CA"),
        line("us-goshen.cddb.example.net", 888, "N035.22", "W085.49", "USA - Goshen, IN"),
        line("fi.cddb.example.net", 888, "N060.10", "E024.58", "Finland - Tampere"),
        line("us-albuquerque.cddb.example.net", 888, "N035.04", "W106.37",
             "USA - Albuquerque, NM (unofficial)"),
        line("za.cddb.example.net", 888, "S025.33", "E028.00", "South Africa - Pretoria"),
        line("hu.cddb.example.net", 888, "N047.30", "E019.50", "Hungary - Budapest"),
        line("ca1.cddb.example.net", 888, "N045.31", "W073.34", "Canada - Montreal (unofficial)"),
        line("ca2.cddb.example.net", 888, "N045.31", "W073.34", "Canada - Montreal (unofficial)"),
        line("si.cddb.example.net", 888, "N046.04", "E014.30",
             "Slovenia - Ljubljana (unofficial)"),
        line("us-mcallen.cddb.example.net", 888, "N026.12", "W098.13",
             "USA - McAllen, TX (unofficial)"),
        line("us-chapelhill.cddb.example.net", 888, "N035.23", "W079.00",
             "USA - Chapel Hill, NC"),
        line("us-rockville.cddb.example.net", 888, "N039.05", "W077.48",
             "USA - Rockville, MD (unofficial)"),
    };
    return servers;
}

QString initialServerText() {
    return line("us-fremont.cddb.example.net", 888, "N037.23", "W122.01", "USA - Fremont, CA");
}

QStringList serversFromHostsFile(const QByteArray &contents) {
    QList<QByteArray> lines = contents.split('\n');
    if (contents.endsWith('\n'))
        lines.removeLast();  // the split's empty tail is no line of the file
    if (!lines.isEmpty())
        lines.removeFirst();
    QStringList servers;
    for (QByteArray l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
        TextCursor c{l};
        EatToken(c);
        if (EatToken(c).compare("cddbp", Qt::CaseInsensitive) == 0)
            servers << QString::fromUtf8(l);
    }
    return servers;
}

} // namespace tbk::agent
