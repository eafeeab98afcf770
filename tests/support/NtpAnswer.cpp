#include "support/NtpAnswer.h"

#include <QtEndian>

QByteArray NtpAnswerTo(const QByteArray& query, const NtpAnswerFields& fields)
{
    QByteArray answer(48, '\0');
    answer[0] = char(fields.leap << 6 | fields.version << 3 | fields.mode);
    answer[1] = char(fields.stratum);
    answer.replace(12, 4, fields.referenceId.leftJustified(4, '\0', true));
    answer.replace(24, 8, query.mid(40, 8).leftJustified(8, '\0', true));
    qToBigEndian(fields.received, answer.data() + 32);
    qToBigEndian(fields.transmitted, answer.data() + 40);
    return answer;
}
