#pragma once

#include <QByteArray>

namespace qv::app::test {

// Four concepts; the standard is the star 1-2, 1-3, 1-4, from six items, the
// last three each of one concept. The three students of kStarData answer all
// six items right (PRX 1), only item 4 (PRX -0.333), and none (no PRX).
inline const QByteArray kStarConcepts = "4\r\n1 甲\r\n2 乙\r\n3 丙\r\n4 丁\r\n";
inline const QByteArray kStarItems =
    "6\r\n1 1,2,\r\n2 1,3,\r\n3 1,4,\r\n4 2,\r\n5 3,\r\n6 4,\r\n";
inline const QByteArray kStarData =
    "8\r\n9\r\nABCDAB\r\n90702001 ABCDA B\r\n90702002 BCDDB C\r\n90702003 DDDAD D\r\n";

}  // namespace qv::app::test
