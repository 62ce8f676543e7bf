// The C interface of MACDll over ApeDecompressor and ApeCompressor.
#include "MACDll.h"

#include "ape_compressor.h"
#include "ape_decompressor.h"
#include "mac_errors.h"

#include <climits>
#include <new>

using mac::ApeCompressor;
using mac::ApeDecompressor;

extern "C" {

MACDLL_API APE_DECOMPRESS_HANDLE MACDLL_CALL c_APEDecompress_Create(const char* pFilename, int* pErrorCode)
{
    auto* d = new (std::nothrow) ApeDecompressor();
    int rc = d ? d->open(pFilename) : mac::kErrorInsufficientMemory;
    if (pErrorCode) *pErrorCode = rc;
    if (rc != mac::kSuccess) {
        delete d;
        return nullptr;
    }
    return d;
}

MACDLL_API void MACDLL_CALL c_APEDecompress_Destroy(APE_DECOMPRESS_HANDLE hAPEDecompress)
{
    delete static_cast<ApeDecompressor*>(hAPEDecompress);
}

MACDLL_API int MACDLL_CALL c_APEDecompress_GetData(APE_DECOMPRESS_HANDLE hAPEDecompress, char* pBuffer, int nBlocks,
                                                    int* pBlocksRetrieved)
{
    if (pBlocksRetrieved) *pBlocksRetrieved = 0;
    if (!hAPEDecompress) return mac::kErrorBadParameter;
    return static_cast<ApeDecompressor*>(hAPEDecompress)
        ->getData(reinterpret_cast<uint8_t*>(pBuffer), nBlocks, pBlocksRetrieved);
}

MACDLL_API int MACDLL_CALL c_APEDecompress_Seek(APE_DECOMPRESS_HANDLE hAPEDecompress, int nBlockOffset)
{
    if (!hAPEDecompress) return mac::kErrorBadParameter;
    return static_cast<ApeDecompressor*>(hAPEDecompress)->seek(nBlockOffset);
}

MACDLL_API int MACDLL_CALL c_APEDecompress_GetInfo(APE_DECOMPRESS_HANDLE hAPEDecompress, int Field, int nParam1,
                                                    int nParam2)
{
    if (!hAPEDecompress) return -1;
    const int64_t v = static_cast<ApeDecompressor*>(hAPEDecompress)->getInfo(Field, nParam1, nParam2);
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

MACDLL_API APE_COMPRESS_HANDLE MACDLL_CALL c_APECompress_Create(int* pErrorCode)
{
    auto* c = new (std::nothrow) ApeCompressor();
    if (pErrorCode) *pErrorCode = c ? mac::kSuccess : mac::kErrorInsufficientMemory;
    return c;
}

MACDLL_API void MACDLL_CALL c_APECompress_Destroy(APE_COMPRESS_HANDLE hAPECompress)
{
    delete static_cast<ApeCompressor*>(hAPECompress);
}

MACDLL_API int MACDLL_CALL c_APECompress_Start(APE_COMPRESS_HANDLE hAPECompress, const char* pOutputFilename,
                                                const MAC_WAVEFORMATEX* pwfeInput, int nMaxAudioBytes,
                                                int nCompressionLevel, const void* pHeaderData, int nHeaderBytes)
{
    if (!hAPECompress || !pwfeInput || pwfeInput->wFormatTag != 1) return mac::kErrorBadParameter;
    return static_cast<ApeCompressor*>(hAPECompress)
        ->start(pOutputFilename, int(pwfeInput->nSamplesPerSec), pwfeInput->wBitsPerSample, pwfeInput->nChannels,
                nMaxAudioBytes, nCompressionLevel, pHeaderData, nHeaderBytes);
}

MACDLL_API int MACDLL_CALL c_APECompress_AddData(APE_COMPRESS_HANDLE hAPECompress, unsigned char* pData, int nBytes)
{
    if (!hAPECompress) return mac::kErrorBadParameter;
    return static_cast<ApeCompressor*>(hAPECompress)->addData(pData, nBytes);
}

MACDLL_API int MACDLL_CALL c_APECompress_Finish(APE_COMPRESS_HANDLE hAPECompress, unsigned char* pTerminatingData,
                                                 int nTerminatingBytes, int /*nWAVTerminatingBytes*/)
{
    if (!hAPECompress) return mac::kErrorBadParameter;
    return static_cast<ApeCompressor*>(hAPECompress)->finish(pTerminatingData, nTerminatingBytes);
}

MACDLL_API int MACDLL_CALL FillWaveFormatEx(MAC_WAVEFORMATEX* pWaveFormatEx, int nSampleRate, int nBitsPerSample,
                                             int nChannels)
{
    if (!pWaveFormatEx || nSampleRate < 1 || nBitsPerSample < 8 || nChannels < 1) return mac::kErrorBadParameter;
    pWaveFormatEx->wFormatTag = 1;
    pWaveFormatEx->nChannels = uint16_t(nChannels);
    pWaveFormatEx->nSamplesPerSec = uint32_t(nSampleRate);
    pWaveFormatEx->wBitsPerSample = uint16_t(nBitsPerSample);
    pWaveFormatEx->nBlockAlign = uint16_t(nBitsPerSample / 8 * nChannels);
    pWaveFormatEx->nAvgBytesPerSec = uint32_t(pWaveFormatEx->nBlockAlign) * uint32_t(nSampleRate);
    pWaveFormatEx->cbSize = 0;
    return mac::kSuccess;
}

}  // extern "C"
