// The bundles the builder makes from the repository's content, built once per test process and
// shared: building them takes a few seconds.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/resbuild/BundleBuilder.h"

namespace toolstest {

inline std::filesystem::path contentDir() {
    const char* source = std::getenv("QUILL_TEST_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "content";
}

inline resbuild::BundleFiles buildBundle(resbuild::BundleProfile profile) {
    resbuild::BundleOptions options;
    options.contentDir = contentDir();
    options.profile = profile;
    return resbuild::BundleBuilder::build(options);
}

inline const resbuild::BundleFiles& testBundle() {
    static const resbuild::BundleFiles files = buildBundle(resbuild::BundleProfile::Test);
    return files;
}

}  // namespace toolstest
