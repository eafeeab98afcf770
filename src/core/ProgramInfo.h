#pragma once

#include <QByteArray>
#include <QString>

// Who the program is, in one place: its title in captions and messages, its maker, its desktop id,
// and the agents its requests carry.
namespace Program {
inline const QString Title = QStringLiteral("Tolvane");
inline const QString Maker = QStringLiteral("Orlentis");
// Reverse-DNS id: the desktop entry's name, the icon's name and the window class's partner.
inline const QString AppId = QStringLiteral("io.github.orlentis.Tolvane");
// The agent the weather feed, the update site and the time display have always been sent.
inline constexpr char LegacyAgent[] = "vb wininet";
// The agent of the clock synchronisation request.
inline constexpr char SyncAgent[] = "Tolvane";
// The maker's web site.
inline constexpr char MakerSite[] = "http://www.orlentis.example";

// The agent that names the program, its version and where to reach its maker, as the weather
// service asks of its clients: "Tolvane/1.0.0 (+http://www.orlentis.example/)".
QByteArray IdentifyingAgent();
} // namespace Program
