// The SDK root from any module path or environment value: a root found is a proper
// prefix of the path followed by a backslash run and an SDK directory name; a root from
// the environment is a bounded prefix of the value without trailing backslashes.
#include "fuzz_check.h"
#include "sdk_root_path.h"

#include <string>

using namespace clser::discovery;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto root = sdkRootFromModulePath(text)) {
        FUZZ_CHECK(!root->empty() && root->size() < text.size());
        FUZZ_CHECK(text.compare(0, root->size(), *root) == 0);
        FUZZ_CHECK(root->back() != '\\');
        size_t start = root->size();
        while (start < text.size() && text[start] == '\\')
            ++start;
        FUZZ_CHECK(start > root->size());
        const size_t end = text.find('\\', start);
        FUZZ_CHECK(end != std::string::npos);
        FUZZ_CHECK(isSdkSubdirectoryName(std::string_view(text).substr(start, end - start)));
    }

    const std::string fromEnvironment = sdkRootFromEnvironmentValue(text);
    FUZZ_CHECK(fromEnvironment.size() <= kMaxSdkRootLength);
    FUZZ_CHECK(text.compare(0, fromEnvironment.size(), fromEnvironment) == 0);
    FUZZ_CHECK(fromEnvironment.size() <= 1 || fromEnvironment.back() != '\\');

    const std::string library = sdkLibraryPath(fromEnvironment, "acqlib5");
    FUZZ_CHECK(library == fromEnvironment + "\\bin\\acqlib5.dll");
    return 0;
}
