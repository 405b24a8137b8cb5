// The questionnaire page's address for the room's question view.
#pragma once
#include <string>

// "http://<server><page>?confcode=<code>&auth=<1 chief, else 0>", the code percent-encoded.
std::u16string QuestionPageAddress(const std::u16string& szServer, const std::u16string& szPagePath,
                                   const std::u16string& szConfCode, bool bChief);

// UTF-8 percent-encoding of everything but the unreserved characters (letters, digits, "-._~").
std::u16string PercentEncode(const std::u16string& s);
