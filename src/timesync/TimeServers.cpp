#include "timesync/TimeServers.h"

QStringList TimeServerNames()
{
    return {
        // Hosted for NIST by the University of Colorado, Boulder; the first is the default.
        "utcnist.colorado.edu",
        "utcnist2.colorado.edu",
        // NIST's own: the general name, which takes turns among its servers, then each site's servers
        // (Gaithersburg, Fort Collins, Boulder).
        "time.nist.gov",
        "time-a-g.nist.gov",
        "time-a-wwv.nist.gov",
        "time-a-b.nist.gov",
        "time-b-g.nist.gov",
        "time-b-wwv.nist.gov",
        "time-b-b.nist.gov",
        "time-c-g.nist.gov",
        "time-c-wwv.nist.gov",
        "time-c-b.nist.gov",
        "time-d-g.nist.gov",
        "time-d-wwv.nist.gov",
    };
}
