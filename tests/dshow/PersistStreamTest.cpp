// The version stamp and dirty flag that filters with saved settings share.
#include "dshow/PersistStream.h"

#include <gtest/gtest.h>

#include <vfwmsgs.h>

namespace {

// Stores one number after the stamp, as a filter with one saved setting would.
class OneSetting final : public dshow::PersistStream {
public:
    explicit OneSetting(DWORD version) : version_(version) {}
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetClassID(CLSID* clsid) override { return E_NOTIMPL; }

    LONG value = 0;
    DWORD loadedVersion = 0;

protected:
    DWORD softwareVersion() override { return version_; }
    HRESULT writeToStream(IStream* stream) override { return stream->Write(&value, sizeof value, nullptr); }
    HRESULT readFromStream(IStream* stream, DWORD version) override {
        loadedVersion = version;
        ULONG read = 0;
        const HRESULT hr = stream->Read(&value, sizeof value, &read);
        return FAILED(hr) ? hr : read == sizeof value ? S_OK : STG_E_READFAULT;
    }
    ULONG sizeMax() override { return sizeof value; }

private:
    const DWORD version_;
};

struct Stream {
    IStream* p = nullptr;
    Stream() { CreateStreamOnHGlobal(nullptr, TRUE, &p); }
    ~Stream() { p->Release(); }
    void rewind() {
        LARGE_INTEGER zero{};
        p->Seek(zero, STREAM_SEEK_SET, nullptr);
    }
    ULONGLONG size() {
        STATSTG stat{};
        p->Stat(&stat, STATFLAG_NONAME);
        return stat.cbSize.QuadPart;
    }
};

}  // namespace

TEST(PersistStreamTest, SavesStampAndDataAndLoadsThemBack) {
    OneSetting saved(2);
    EXPECT_EQ(S_FALSE, saved.IsDirty());
    saved.value = -7;
    saved.setDirty(true);
    ULARGE_INTEGER max{};
    ASSERT_EQ(S_OK, saved.GetSizeMax(&max));
    EXPECT_EQ(8u, max.QuadPart);

    Stream stream;
    EXPECT_EQ(S_OK, saved.Save(stream.p, FALSE));
    EXPECT_EQ(S_OK, saved.IsDirty()) << "saving without clearing keeps the flag";
    EXPECT_EQ(S_OK, saved.Save(stream.p, TRUE));
    EXPECT_EQ(S_FALSE, saved.IsDirty());
    EXPECT_EQ(16u, stream.size());

    OneSetting loaded(2);
    loaded.setDirty(true);
    stream.rewind();
    ASSERT_EQ(S_OK, loaded.Load(stream.p));
    EXPECT_EQ(-7, loaded.value);
    EXPECT_EQ(2u, loaded.loadedVersion);
    EXPECT_EQ(S_FALSE, loaded.IsDirty());

    EXPECT_EQ(E_POINTER, loaded.Save(nullptr, TRUE));
    EXPECT_EQ(E_POINTER, loaded.Load(nullptr));
    EXPECT_EQ(E_POINTER, loaded.GetSizeMax(nullptr));
}

TEST(PersistStreamTest, RefusesNewerAndTruncatedStreams) {
    OneSetting newer(3);
    newer.value = 11;
    Stream stream;
    ASSERT_EQ(S_OK, newer.Save(stream.p, TRUE));

    OneSetting older(2);
    older.value = 5;
    stream.rewind();
    EXPECT_EQ(VFW_E_INVALID_FILE_VERSION, older.Load(stream.p));
    EXPECT_EQ(5, older.value);

    Stream empty;
    EXPECT_EQ(STG_E_READFAULT, older.Load(empty.p));

    // A stamp without its data.
    Stream cut;
    const DWORD stamp = 2;
    cut.p->Write(&stamp, sizeof stamp, nullptr);
    cut.rewind();
    older.setDirty(true);
    EXPECT_EQ(STG_E_READFAULT, older.Load(cut.p));
    EXPECT_EQ(S_OK, older.IsDirty()) << "a failed load leaves the state as it was";
}
