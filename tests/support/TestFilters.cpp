#include "tests/support/TestFilters.h"

#include <amvideo.h>
#include <uuids.h>

namespace testsupport {

const CLSID kTestFilterClsid = {0x2c5e0a31, 0x7f42, 0x4d1b, {0x9a, 0x66, 0x10, 0x3b, 0xe2, 0x84, 0x5c, 0x19}};

dshow::MediaType rgb24Video(int width, int height) {
    const DWORD bytes = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
    dshow::MediaType mt;
    mt->majortype = MEDIATYPE_Video;
    mt->subtype = MEDIASUBTYPE_RGB24;
    mt->formattype = FORMAT_VideoInfo;
    mt->bFixedSizeSamples = TRUE;
    mt->lSampleSize = bytes;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.allocFormat(sizeof(VIDEOINFOHEADER)));
    vih->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, bytes, 0, 0, 0, 0};
    return mt;
}

HRESULT askForBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props, long count, long size) {
    props->cBuffers = count;
    props->cbBuffer = size;
    if (props->cbAlign <= 0) props->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(props, &actual);
}

HRESULT FrameSink::receiveSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    frames.emplace_back(data, data + sample->GetActualDataLength());
    syncPoints.push_back(sample->IsSyncPoint() == S_OK);
    return S_OK;
}

}  // namespace testsupport
