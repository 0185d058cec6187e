#include "io/problem.h"

#include "io/path_text.h"

namespace quorvane {

Problem Problem::Text(std::string text) {
    Problem p;
    p.text = std::move(text);
    return p;
}

Problem Problem::OpenFailed(const std::filesystem::path& path) {
    Problem p;
    p.code = ProblemCode::OpenFailed;
    p.path = path;
    return p;
}

std::string ProblemText(const Problem& p) {
    switch (p.code) {
    case ProblemCode::Text:
        return p.text;
    case ProblemCode::OpenFailed:
        return "Error opening " + PathText(p.path);
    case ProblemCode::LoadFailed:
        return "Load of " + PathText(p.path) + " Failed.";
    case ProblemCode::FileEndsEarly:
        return PathText(p.path) + " ends before " + std::to_string(p.count) + " of its values; they read Value Not Found.";
    case ProblemCode::LoaderLine:
        return "Line Number : " + std::to_string(p.line) + p.text;
    case ProblemCode::RecordLine:
        return "Line: " + std::to_string(p.line) + " In [" + p.header + "] section " + p.text;
    case ProblemCode::DirectiveMissing:
        return "Line: " + std::to_string(p.line) + "[" + p.header + "] expected.";
    }
    return p.text;
}

}  // namespace quorvane
