#include "io/error_report.h"

namespace quorvane {

void ReportError(ErrorSink& sink, const std::string& p1, const std::string& p2, const std::string& p3,
                 const std::string& p4, const std::string& p5, const std::string& p6, const std::string& p7,
                 const std::string& p8, const std::string& p9, const std::string& p10, const std::string& p11,
                 const std::string& p12) {
    std::string text;
    text.reserve(p1.size() + p2.size() + p3.size() + p4.size() + p5.size() + p6.size() + p7.size() + p8.size() +
                 p9.size() + p10.size() + p11.size() + p12.size());
    for (const std::string* p : {&p1, &p2, &p3, &p4, &p5, &p6, &p7, &p8, &p9, &p10, &p11, &p12}) text += *p;
    sink.Report(text);
}

}  // namespace quorvane
