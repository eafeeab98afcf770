#pragma once

#include "platform/NtpClient.h"

#include <QByteArray>

// 2004-07-05 14:23:05 UTC, a time to build answers around.
constexpr NtpStamp SampleNtpTime = NtpStamp(3'298'026'185) << 32;

// The fields of a time server's answer that tests vary.
struct NtpAnswerFields {
    int leap = 0;
    int version = 4;
    int mode = 4; // server
    int stratum = 1;
    QByteArray referenceId = "NIST";
    NtpStamp received = SampleNtpTime;    // T2
    NtpStamp transmitted = SampleNtpTime; // T3
};

// A server's 48-byte answer to `query`: the query's transmit stamp copied into the origin stamp, the
// given fields, and zero elsewhere.
QByteArray NtpAnswerTo(const QByteArray& query, const NtpAnswerFields& fields = {});
