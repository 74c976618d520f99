// Linked into a test program whose tests use COM: the main thread joins a single-threaded
// apartment for the whole run, as the program's user-interface thread does.
#include <gtest/gtest.h>

#include <objbase.h>

namespace {

class ComApartment : public ::testing::Environment {
public:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

const auto* const kApartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

}  // namespace
