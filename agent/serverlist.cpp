#include "agent/serverlist.h"

#include "agent/cddbtokens.h"

namespace tbk::agent {

namespace {

struct Site {
    const char *host;
    int port;
    const char *latitude;
    const char *longitude;
    const char *place;
};

// Line 2, the default, names a public server that answers the CDDB protocol on port 8880; the
// other host names are placeholders under the reserved example domain, for a "Hosts" file or
// the user's typing to replace.
constexpr Site kSites[] = {
    {"nz.cddb.example.net", 888, "N041.17", "E174.47", "New Zealand - Palmerstown North"},
    {"gnudb.gnudb.org", 8880, "N037.23", "W122.01", "USA - Fremont, CA"},
    {"us-scottsdale.cddb.example.net", 888, "N033.29", "W111.55", "USA - Scottsdale, AZ (unofficial)"},
    {"ru.cddb.example.net", 888, "N055.45", "E037.35", "Russia - Moscow"},
    {"us-austin.cddb.example.net", 888, "N030.17", "W097.44", "USA - Austin, TX"},
    {"uk.cddb.example.net", 888, "N051.30", "E000.10", "UK - London"},
    {"us-santarosa.cddb.example.net", 888, "N038.26", "W122.42", "USA - Santa Rosa, CA"},
    {"us-goshen.cddb.example.net", 888, "N035.22", "W085.49", "USA - Goshen, IN"},
    {"fi.cddb.example.net", 888, "N060.10", "E024.58", "Finland - Tampere"},
    {"us-albuquerque.cddb.example.net", 888, "N035.04", "W106.37", "USA - Albuquerque, NM (unofficial)"},
    {"za.cddb.example.net", 888, "S025.33", "E028.00", "South Africa - Pretoria"},
    {"hu.cddb.example.net", 888, "N047.30", "E019.50", "Hungary - Budapest"},
    {"ca1.cddb.example.net", 888, "N045.31", "W073.34", "Canada - Montreal (unofficial)"},
    {"ca2.cddb.example.net", 888, "N045.31", "W073.34", "Canada - Montreal (unofficial)"},
    {"si.cddb.example.net", 888, "N046.04", "E014.30", "Slovenia - Ljubljana (unofficial)"},
    {"us-mcallen.cddb.example.net", 888, "N026.12", "W098.13", "USA - McAllen, TX (unofficial)"},
    {"us-chapelhill.cddb.example.net", 888, "N035.23", "W079.00", "USA - Chapel Hill, NC"},
    {"us-rockville.cddb.example.net", 888, "N039.05", "W077.48", "USA - Rockville, MD (unofficial)"},
};

QString line(const Site &s, int port) {
    return QStringLiteral("%1 cddbp %2 - %3 %4 # %5")
        .arg(QLatin1String(s.host)).arg(port).arg(QLatin1String(s.latitude), QLatin1String(s.longitude),
                                                  QLatin1String(s.place));
}

} // namespace

const QStringList &builtInServers() {
    static const QStringList servers = [] {
        QStringList l;
        for (const Site &s : kSites)
            l << line(s, s.port);
        return l;
    }();
    return servers;
}

// On the port the server answers on: port 888 is not served there.
QString initialServerText() { return line(kSites[1], kSites[1].port); }

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
