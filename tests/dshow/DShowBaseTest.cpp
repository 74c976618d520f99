// COM contract of the DirectShow base layer: media type ownership, the two enumerators and the
// class factory with the module's unload bookkeeping.
#include "dshow/ClassFactory.h"
#include "dshow/EnumMediaTypes.h"
#include "dshow/EnumPins.h"
#include "dshow/MediaType.h"

// Not <dshow.h>: its strsafe.h poisons the C library names that libstdc++'s <string> uses.
#include <amvideo.h>
#include <gtest/gtest.h>
#include <uuids.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace dshow;

namespace {

// The current count, read through the object's own AddRef/Release.
ULONG refsOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

// Lives on the stack: counts references without ever deleting itself.
class CountedUnknown : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
};

class FakePin : public IPin {
public:
    explicit FakePin(int index) : index(index) {}
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP Disconnect() override { return E_NOTIMPL; }
    STDMETHODIMP ConnectedTo(IPin**) override { return E_NOTIMPL; }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryPinInfo(PIN_INFO*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryDirection(PIN_DIRECTION*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryId(LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return E_NOTIMPL; }
    STDMETHODIMP BeginFlush() override { return E_NOTIMPL; }
    STDMETHODIMP EndFlush() override { return E_NOTIMPL; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return E_NOTIMPL; }
    const int index;
    ULONG refs = 1;
};

// RGB24 video type whose subtype and format bytes carry tag, so copies can be told apart.
MediaType videoType(int tag, IUnknown* unk = nullptr) {
    MediaType mt;
    mt->majortype = MEDIATYPE_Video;
    mt->subtype = MEDIASUBTYPE_RGB24;
    mt->subtype.Data1 += tag;
    mt->formattype = FORMAT_VideoInfo;
    mt->bFixedSizeSamples = TRUE;
    mt->lSampleSize = 640 * 480 * 3;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.allocFormat(sizeof(VIDEOINFOHEADER)));
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = 640 + tag;
    vih->bmiHeader.biHeight = 480;
    mt->pUnk = unk;
    if (unk) unk->AddRef();
    return mt;
}

int tagOf(const AM_MEDIA_TYPE& mt) {
    return reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biWidth - 640;
}

struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* mt) const { deleteMediaType(mt); }
};
using MediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter>;

// Asks for each IID and checks the answer and that a refusal leaves no reference behind.
void expectInterfaces(IUnknown* object, const std::vector<std::pair<IID, bool>>& table) {
    for (const auto& [iid, supported] : table) {
        void* p = reinterpret_cast<void*>(1);
        const ULONG before = refsOf(object);
        if (supported) {
            EXPECT_EQ(object->QueryInterface(iid, &p), S_OK);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(refsOf(object), before + 1);
            EXPECT_EQ(static_cast<IUnknown*>(p)->Release(), before);
        } else {
            EXPECT_EQ(object->QueryInterface(iid, &p), E_NOINTERFACE);
            EXPECT_EQ(p, nullptr);
            EXPECT_EQ(refsOf(object), before);
        }
    }
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

}  // namespace

TEST(MediaTypeTest, CopyIsDeepAndHoldsItsOwnUnkReference) {
    CountedUnknown unk;
    MediaType source = videoType(7, &unk);
    ASSERT_EQ(unk.refs, 2u);

    AM_MEDIA_TYPE copy;
    ASSERT_EQ(copyMediaType(copy, source.get()), S_OK);
    EXPECT_EQ(unk.refs, 3u);
    EXPECT_NE(copy.pbFormat, source->pbFormat);
    EXPECT_EQ(copy.cbFormat, sizeof(VIDEOINFOHEADER));
    EXPECT_EQ(copy.lSampleSize, source->lSampleSize);
    EXPECT_TRUE(mediaTypesEqual(copy, source.get()));
    source->pbFormat[0] ^= 0xFF;  // the copy must not share the block
    EXPECT_FALSE(mediaTypesEqual(copy, source.get()));

    freeMediaTypeContents(copy);
    EXPECT_EQ(unk.refs, 2u);
    EXPECT_EQ(copy.pbFormat, nullptr);
    EXPECT_EQ(copy.cbFormat, 0u);
    EXPECT_EQ(copy.pUnk, nullptr);

    MediaTypePtr created(createMediaType(source.get()));
    ASSERT_TRUE(created);
    EXPECT_EQ(unk.refs, 3u);
    EXPECT_TRUE(mediaTypesEqual(*created, source.get()));
    created.reset();
    EXPECT_EQ(unk.refs, 2u);
    deleteMediaType(nullptr);

    // A size without a block must not be copied as a size.
    AM_MEDIA_TYPE malformed = source.get();
    malformed.pbFormat = nullptr;
    malformed.pUnk = nullptr;
    ASSERT_EQ(copyMediaType(copy, malformed), S_OK);
    EXPECT_EQ(copy.cbFormat, 0u);
    EXPECT_EQ(copy.pbFormat, nullptr);
}

TEST(MediaTypeTest, EqualityLooksAtTypesAndFormatBytesOnly) {
    CountedUnknown unk;
    struct Case {
        const char* change;
        void (*apply)(MediaType&);
        bool equal;
    };
    const Case cases[] = {
        {"nothing", [](MediaType&) {}, true},
        {"sample size", [](MediaType& m) { m->lSampleSize = 1; }, true},
        {"temporal compression", [](MediaType& m) { m->bTemporalCompression = TRUE; }, true},
        {"major type", [](MediaType& m) { m->majortype = MEDIATYPE_Audio; }, false},
        {"subtype", [](MediaType& m) { m->subtype = MEDIASUBTYPE_RGB32; }, false},
        {"format type", [](MediaType& m) { m->formattype = FORMAT_VideoInfo2; }, false},
        {"format byte", [](MediaType& m) { m->pbFormat[m->cbFormat - 1] = 1; }, false},
        {"format length", [](MediaType& m) { m->cbFormat -= 1; }, false},
        {"no format", [](MediaType& m) { m.allocFormat(0); }, false},
    };
    const MediaType base = videoType(0);
    for (const Case& c : cases) {
        MediaType other = videoType(0, &unk);
        c.apply(other);
        EXPECT_EQ(mediaTypesEqual(base.get(), other.get()), c.equal) << c.change;
        EXPECT_EQ(mediaTypesEqual(other.get(), base.get()), c.equal) << c.change;
        if (c.change == std::string("format length")) other->cbFormat += 1;  // back, to free it
    }
    EXPECT_EQ(unk.refs, 1u);
}

TEST(MediaTypeTest, OwnerCopiesMovesAndReleases) {
    CountedUnknown a, b;
    {
        MediaType first = videoType(1, &a);
        MediaType second(first);
        EXPECT_EQ(a.refs, 3u);
        EXPECT_NE(second->pbFormat, first->pbFormat);
        EXPECT_TRUE(second == first);

        MediaType moved(std::move(second));
        EXPECT_EQ(a.refs, 3u);
        EXPECT_EQ(second->pbFormat, nullptr);
        EXPECT_EQ(tagOf(moved.get()), 1);

        MediaType other = videoType(2, &b);
        other = first;  // drops b
        EXPECT_EQ(b.refs, 1u);
        EXPECT_EQ(a.refs, 4u);
        other = other;
        EXPECT_EQ(tagOf(other.get()), 1);
        other = std::move(moved);
        EXPECT_EQ(a.refs, 3u);

        AM_MEDIA_TYPE* out = first.put();
        EXPECT_EQ(a.refs, 2u);
        EXPECT_EQ(out->pbFormat, nullptr);
    }
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(b.refs, 1u);
}

// The same enumeration contract for both enumerators, over items tagged 0..n-1.
struct MediaTypeItems {
    using Enum = IEnumMediaTypes;
    using Item = AM_MEDIA_TYPE*;
    static const IID& iid() { return IID_IEnumMediaTypes; }
    static const IID& foreignIid() { return IID_IEnumPins; }
    HRESULT make(int n, Enum** out) {
        std::vector<MediaType> types;
        for (int i = 0; i < n; ++i) types.push_back(videoType(i, &unk));
        return EnumMediaTypes::create(types, out);
    }
    static int tag(Item item) { return tagOf(*item); }
    static void release(Item item) { deleteMediaType(item); }
    // Outstanding references on what the enumerator hands out, beyond the test's own.
    ULONG heldRefs() const { return unk.refs - 1; }
    CountedUnknown unk;
};

struct PinItems {
    using Enum = IEnumPins;
    using Item = IPin*;
    static const IID& iid() { return IID_IEnumPins; }
    static const IID& foreignIid() { return IID_IEnumMediaTypes; }
    HRESULT make(int n, Enum** out) {
        std::vector<IPin*> list;
        for (int i = 0; i < n; ++i) list.push_back(&pins[i]);
        return EnumPins::create(list, out);
    }
    static int tag(Item item) { return static_cast<FakePin*>(item)->index; }
    static void release(Item item) { item->Release(); }
    ULONG heldRefs() const {
        ULONG held = 0;
        for (const FakePin& pin : pins) held += pin.refs - 1;
        return held;
    }
    FakePin pins[4] = {FakePin(0), FakePin(1), FakePin(2), FakePin(3)};
};

template <typename Items>
class EnumeratorContract : public ::testing::Test {
protected:
    using Enum = typename Items::Enum;
    using Item = typename Items::Item;

    void TearDown() override { EXPECT_EQ(items.heldRefs(), 0u) << "references leaked"; }

    Enum* make(int n) {
        Enum* e = nullptr;
        EXPECT_EQ(items.make(n, &e), S_OK);
        return e;
    }
    // Tags of what one Next call returns; each item is released at once.
    std::vector<int> next(Enum* e, ULONG n, HRESULT expected) {
        std::vector<Item> got(n + 1, nullptr);
        ULONG fetched = 12345;
        EXPECT_EQ(e->Next(n, got.data(), &fetched), expected);
        std::vector<int> tags;
        for (ULONG i = 0; i < fetched && i < n; ++i) {
            tags.push_back(Items::tag(got[i]));
            Items::release(got[i]);
        }
        EXPECT_EQ(fetched, tags.size());
        return tags;
    }

    Items items;
};

using EnumeratorKinds = ::testing::Types<MediaTypeItems, PinItems>;
TYPED_TEST_SUITE(EnumeratorContract, EnumeratorKinds);

TYPED_TEST(EnumeratorContract, InterfacesAndReferenceCount) {
    auto* e = this->make(3);
    ASSERT_NE(e, nullptr);
    expectInterfaces(e, {{IID_IUnknown, true}, {TypeParam::iid(), true}, {TypeParam::foreignIid(), false}});
    EXPECT_EQ(e->AddRef(), 2u);
    EXPECT_EQ(e->Release(), 1u);
    EXPECT_GT(this->items.heldRefs(), 0u);  // the snapshot holds its items
    EXPECT_EQ(e->Release(), 0u);
}

TYPED_TEST(EnumeratorContract, NextPointerRulesAndCounts) {
    auto* e = this->make(3);
    typename TypeParam::Item items[4] = {};
    ULONG fetched = 99;
    EXPECT_EQ(e->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(e->Next(2, items, nullptr), E_INVALIDARG);
    EXPECT_EQ(this->next(e, 0, S_OK), std::vector<int>{});
    // One at a time, the count may be left out.
    ASSERT_EQ(e->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(TypeParam::tag(items[0]), 0);
    TypeParam::release(items[0]);

    EXPECT_EQ(this->next(e, 1, S_OK), std::vector<int>{1});
    EXPECT_EQ(this->next(e, 3, S_FALSE), std::vector<int>{2});
    EXPECT_EQ(this->next(e, 2, S_FALSE), std::vector<int>{});
    EXPECT_EQ(e->Next(1, items, nullptr), S_FALSE);
    EXPECT_EQ(e->Release(), 0u);
}

// Which calls are refused, with what, and that a refused call hands out nothing and keeps the
// position where it was.
TYPED_TEST(EnumeratorContract, NextArgumentRules) {
    struct Case {
        ULONG requested;
        bool items, count;
        HRESULT expected;
        ULONG delivered;
    };
    const Case cases[] = {
        {0, true, false, S_OK, 0},
        {1, true, false, S_OK, 1},
        {2, true, false, E_INVALIDARG, 0},
        {3, true, false, E_INVALIDARG, 0},
        {0xFFFFFFFFu, true, false, E_INVALIDARG, 0},
        {1, false, true, E_POINTER, 0},
        {2, false, false, E_POINTER, 0},
        {2, true, true, S_OK, 2},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.requested) + (c.items ? " items" : " no items") +
                                 (c.count ? ", count" : ", no count");
        auto* e = this->make(3);
        ASSERT_EQ(e->Skip(1), S_OK);
        typename TypeParam::Item items[3] = {};
        ULONG fetched = 99;
        EXPECT_EQ(e->Next(c.requested, c.items ? items : nullptr, c.count ? &fetched : nullptr), c.expected) << what;
        if (c.count && SUCCEEDED(c.expected)) {
            EXPECT_EQ(fetched, c.delivered) << what;
        }
        for (ULONG i = 0; i < 3; ++i) {
            EXPECT_EQ(items[i] != nullptr, i < c.delivered) << what << ", item " << i;
            if (!items[i]) continue;
            EXPECT_EQ(TypeParam::tag(items[i]), static_cast<int>(i) + 1) << what;
            TypeParam::release(items[i]);
        }
        // The next item is the one after those delivered.
        std::vector<int> rest;
        for (int tag = 1 + static_cast<int>(c.delivered); tag < 3; ++tag) rest.push_back(tag);
        EXPECT_EQ(this->next(e, 3, S_FALSE), rest) << what;
        EXPECT_EQ(e->Release(), 0u) << what;
    }
}

TYPED_TEST(EnumeratorContract, SkipAndReset) {
    auto* e = this->make(4);
    EXPECT_EQ(e->Skip(0), S_OK);
    EXPECT_EQ(e->Skip(2), S_OK);
    EXPECT_EQ(this->next(e, 1, S_OK), std::vector<int>{2});
    EXPECT_EQ(e->Skip(2), S_FALSE);  // only one left
    EXPECT_EQ(this->next(e, 1, S_FALSE), std::vector<int>{});
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(0xFFFFFFFFu), S_FALSE);
    EXPECT_EQ(this->next(e, 1, S_FALSE), std::vector<int>{});
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(this->next(e, 4, S_OK), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(e->Release(), 0u);
}

TYPED_TEST(EnumeratorContract, CloneKeepsPositionThenGoesItsOwnWay) {
    auto* e = this->make(3);
    EXPECT_EQ(e->Skip(1), S_OK);
    typename TypeParam::Enum* clone = nullptr;
    EXPECT_EQ(e->Clone(nullptr), E_POINTER);
    ASSERT_EQ(e->Clone(&clone), S_OK);
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(static_cast<IUnknown*>(clone), static_cast<IUnknown*>(e));
    EXPECT_EQ(refsOf(e), 1u);
    EXPECT_EQ(refsOf(clone), 1u);

    EXPECT_EQ(this->next(clone, 2, S_OK), (std::vector<int>{1, 2}));
    EXPECT_EQ(this->next(e, 1, S_OK), std::vector<int>{1});
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(this->next(e, 1, S_OK), std::vector<int>{2});
    // The clone outlives the original and still has its items.
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(this->next(clone, 3, S_OK), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(clone->Release(), 0u);
}

TEST(EnumMediaTypesTest, HandsOutSeparateCopiesOfASnapshot) {
    std::vector<MediaType> types{videoType(0), videoType(1)};
    IEnumMediaTypes* e = nullptr;
    ASSERT_EQ(EnumMediaTypes::create(types, &e), S_OK);
    types[0] = videoType(9);  // the pin's list changes; the enumeration does not

    AM_MEDIA_TYPE* got[2] = {};
    ULONG fetched = 0;
    ASSERT_EQ(e->Next(1, got, &fetched), S_OK);
    ASSERT_EQ(e->Reset(), S_OK);
    ASSERT_EQ(e->Next(1, got + 1, &fetched), S_OK);
    MediaTypePtr a(got[0]), b(got[1]);
    EXPECT_EQ(tagOf(*a), 0);
    EXPECT_NE(a->pbFormat, b->pbFormat);
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(EnumMediaTypes::create(types, nullptr), E_POINTER);
}

TEST(EnumPinsTest, HoldsEachPinUntilTheLastCloneGoes) {
    FakePin in(0), out(1);
    IEnumPins* e = nullptr;
    ASSERT_EQ(EnumPins::create({&in, nullptr, &out}, &e), S_OK);
    EXPECT_EQ(in.refs, 2u);
    IPin* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(3, got, &fetched), S_FALSE);  // the null entry is left out
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(got[1], &out);
    EXPECT_EQ(in.refs, 3u);
    got[0]->Release();
    got[1]->Release();

    IEnumPins* clone = nullptr;
    ASSERT_EQ(e->Clone(&clone), S_OK);
    EXPECT_EQ(in.refs, 2u);
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(out.refs, 2u);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(in.refs, 1u);
    EXPECT_EQ(out.refs, 1u);
}

namespace {

const CLSID kPlainClsid = {0x5b1c0a41, 0x7d2e, 0x4f60, {0x9a, 0x11, 0x2c, 0x3e, 0x4d, 0x5f, 0x60, 0x01}};
const CLSID kAggregatableClsid = {0x5b1c0a41, 0x7d2e, 0x4f60, {0x9a, 0x11, 0x2c, 0x3e, 0x4d, 0x5f, 0x60, 0x02}};
const CLSID kThrowingClsid = {0x5b1c0a41, 0x7d2e, 0x4f60, {0x9a, 0x11, 0x2c, 0x3e, 0x4d, 0x5f, 0x60, 0x03}};
const CLSID kUnknownClsid = {0x5b1c0a41, 0x7d2e, 0x4f60, {0x9a, 0x11, 0x2c, 0x3e, 0x4d, 0x5f, 0x60, 0x04}};

int g_creations = 0;
IUnknown* g_lastOuter = nullptr;

// A server object as the DLLs will have them: counted by the module while alive.
class Widget final : public IPersist {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPersist)) {
            *ppv = static_cast<IPersist*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) delete this;
        return refs;
    }
    STDMETHODIMP GetClassID(CLSID* clsid) override { *clsid = kPlainClsid; return S_OK; }

    static HRESULT create(IUnknown* outer, REFIID riid, void** ppv, bool aggregatable) {
        ++g_creations;
        g_lastOuter = outer;
        if (outer && !aggregatable) return CLASS_E_NOAGGREGATION;
        auto* w = new (std::nothrow) Widget;
        if (!w) return E_OUTOFMEMORY;
        const HRESULT hr = w->QueryInterface(riid, ppv);
        w->Release();
        return hr;
    }

private:
    ULONG refs_ = 1;
    ModuleObject module_;
};

const FactoryEntry kEntries[] = {
    {&kPlainClsid, L"Plain", [](IUnknown* o, REFIID r, void** p) { return Widget::create(o, r, p, false); }},
    {&kAggregatableClsid, L"Aggregatable", [](IUnknown* o, REFIID r, void** p) { return Widget::create(o, r, p, true); }},
    {&kThrowingClsid, L"Throwing",
     [](IUnknown* o, REFIID, void**) -> HRESULT {
         ++g_creations;
         g_lastOuter = o;
         throw std::bad_alloc();
     }},
};

IClassFactory* factoryFor(const CLSID& clsid) {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject(kEntries, clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    return factory;
}

}  // namespace

TEST(ClassFactoryTest, GetClassObjectRules) {
    ASSERT_EQ(canUnloadNow(), S_OK);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(kEntries, kUnknownClsid, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(getClassObject(kEntries, kPlainClsid, IID_IClassFactory, nullptr), E_POINTER);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(kEntries, kPlainClsid, IID_IPersist, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);  // the refused factory is gone

    IClassFactory* factory = factoryFor(kPlainClsid);
    ASSERT_NE(factory, nullptr);
    expectInterfaces(factory, {{IID_IUnknown, true}, {IID_IClassFactory, true}, {IID_IPersist, false}});
    EXPECT_EQ(factory->AddRef(), 2u);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(ClassFactoryTest, CreateInstanceFollowsAggregationRules) {
    CountedUnknown outer;
    struct Case {
        const char* what;
        const CLSID* clsid;
        bool aggregate;
        IID iid;
        HRESULT expected;
        bool reachesCreator;
    };
    const Case cases[] = {
        {"plain object", &kPlainClsid, false, IID_IPersist, S_OK, true},
        {"plain object as IUnknown", &kPlainClsid, false, IID_IUnknown, S_OK, true},
        {"interface it lacks", &kPlainClsid, false, IID_IClassFactory, E_NOINTERFACE, true},
        {"aggregating what cannot be", &kPlainClsid, true, IID_IUnknown, CLASS_E_NOAGGREGATION, true},
        {"aggregated", &kAggregatableClsid, true, IID_IUnknown, S_OK, true},
        // Refused as an interface the aggregate cannot be handed, before any object is made.
        {"aggregated, asking for more than IUnknown", &kAggregatableClsid, true, IID_IPersist, E_NOINTERFACE, false},
        {"aggregating what cannot be, asking for more than IUnknown", &kPlainClsid, true, IID_IPersist,
         E_NOINTERFACE, false},
        {"aggregated, asking for an interface nobody has", &kAggregatableClsid, true, IID_IClassFactory,
         E_NOINTERFACE, false},
        {"creator that throws, aggregated as something else", &kThrowingClsid, true, IID_IPersist, E_NOINTERFACE,
         false},
        {"creator that throws", &kThrowingClsid, false, IID_IUnknown, E_OUTOFMEMORY, true},
    };
    for (const Case& c : cases) {
        IClassFactory* factory = factoryFor(*c.clsid);
        ASSERT_NE(factory, nullptr) << c.what;
        g_creations = 0;
        g_lastOuter = nullptr;
        void* p = reinterpret_cast<void*>(1);
        IUnknown* agg = c.aggregate ? &outer : nullptr;
        EXPECT_EQ(factory->CreateInstance(agg, c.iid, &p), c.expected) << c.what;
        EXPECT_EQ(g_creations, c.reachesCreator ? 1 : 0) << c.what;
        if (c.reachesCreator) {
            EXPECT_EQ(g_lastOuter, agg) << c.what;
        }
        EXPECT_EQ(p != nullptr, SUCCEEDED(c.expected)) << c.what;
        if (p) {
            EXPECT_EQ(static_cast<IUnknown*>(p)->Release(), 0u) << c.what;
        }
        EXPECT_EQ(factory->CreateInstance(nullptr, c.iid, nullptr), E_POINTER) << c.what;
        EXPECT_EQ(factory->Release(), 0u) << c.what;
        EXPECT_EQ(canUnloadNow(), S_OK) << c.what;
    }
    EXPECT_EQ(outer.refs, 1u);
}

TEST(ClassFactoryTest, UnloadOnlyWithoutObjectsOrLocks) {
    ASSERT_EQ(canUnloadNow(), S_OK);
    IClassFactory* factory = factoryFor(kPlainClsid);
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // a held factory keeps the code in use
    IPersist* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_EQ(moduleObjectCount(), 2);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(moduleObjectCount(), 0);
    EXPECT_EQ(moduleLockCount(), 2);
    EXPECT_EQ(canUnloadNow(), S_FALSE);

    factory = factoryFor(kAggregatableClsid);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), E_UNEXPECTED);  // unbalanced: count stays at zero
    EXPECT_EQ(moduleLockCount(), 0);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
}
