#pragma once
// C interface of the Monkey's Audio library module "MACDll".
#ifdef _WIN32
#include <windows.h>
#include <mmreg.h>
#define MACDLL_CALL __stdcall
typedef WAVEFORMATEX MAC_WAVEFORMATEX;
typedef BOOL MAC_BOOL;
#else
#include <stdint.h>
#define MACDLL_CALL
#pragma pack(push, 1)
typedef struct {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
} MAC_WAVEFORMATEX;
#pragma pack(pop)
typedef int MAC_BOOL;
#endif

#if defined(_WIN32) && defined(MACDLL_BUILD)
#define MACDLL_API __declspec(dllexport)
#elif defined(_WIN32)
#define MACDLL_API __declspec(dllimport)
#else
#define MACDLL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef void* APE_DECOMPRESS_HANDLE;
typedef void* APE_COMPRESS_HANDLE;

// Fields of c_APEDecompress_GetInfo.
enum {
    APE_INFO_FILE_VERSION = 1000,
    APE_INFO_COMPRESSION_LEVEL = 1001,
    APE_INFO_FORMAT_FLAGS = 1002,
    APE_INFO_SAMPLE_RATE = 1003,
    APE_INFO_BITS_PER_SAMPLE = 1004,
    APE_INFO_BYTES_PER_SAMPLE = 1005,
    APE_INFO_CHANNELS = 1006,
    APE_INFO_BLOCK_ALIGN = 1007,
    APE_INFO_BLOCKS_PER_FRAME = 1008,
    APE_INFO_FINAL_FRAME_BLOCKS = 1009,
    APE_INFO_TOTAL_FRAMES = 1010,
    APE_INFO_WAV_HEADER_BYTES = 1011,
    APE_INFO_WAV_TERMINATING_BYTES = 1012,
    APE_INFO_WAV_DATA_BYTES = 1013,
    APE_INFO_WAV_TOTAL_BYTES = 1014,
    APE_INFO_APE_TOTAL_BYTES = 1015,
    APE_INFO_TOTAL_BLOCKS = 1016,
    APE_INFO_LENGTH_MS = 1017,
    APE_INFO_AVERAGE_BITRATE = 1018,
    APE_DECOMPRESS_CURRENT_BLOCK = 2000,
    APE_DECOMPRESS_CURRENT_MS = 2001,
    APE_DECOMPRESS_TOTAL_BLOCKS = 2002,
    APE_DECOMPRESS_LENGTH_MS = 2003,
    APE_DECOMPRESS_CURRENT_BITRATE = 2004,
    APE_DECOMPRESS_AVERAGE_BITRATE = 2005,
};

// Compression levels.
enum {
    COMPRESSION_LEVEL_FAST = 1000,
    COMPRESSION_LEVEL_NORMAL = 2000,
    COMPRESSION_LEVEL_HIGH = 3000,
    COMPRESSION_LEVEL_EXTRA_HIGH = 4000,
    COMPRESSION_LEVEL_INSANE = 5000,
};

#define MAX_AUDIO_BYTES_UNKNOWN -1
#define CREATE_WAV_HEADER_ON_DECOMPRESSION -1

MACDLL_API APE_DECOMPRESS_HANDLE MACDLL_CALL c_APEDecompress_Create(const char* pFilename, int* pErrorCode);
MACDLL_API void MACDLL_CALL c_APEDecompress_Destroy(APE_DECOMPRESS_HANDLE hAPEDecompress);
MACDLL_API int MACDLL_CALL c_APEDecompress_GetData(APE_DECOMPRESS_HANDLE hAPEDecompress, char* pBuffer, int nBlocks,
                                                    int* pBlocksRetrieved);
MACDLL_API int MACDLL_CALL c_APEDecompress_Seek(APE_DECOMPRESS_HANDLE hAPEDecompress, int nBlockOffset);
MACDLL_API int MACDLL_CALL c_APEDecompress_GetInfo(APE_DECOMPRESS_HANDLE hAPEDecompress, int Field, int nParam1,
                                                    int nParam2);

MACDLL_API APE_COMPRESS_HANDLE MACDLL_CALL c_APECompress_Create(int* pErrorCode);
MACDLL_API void MACDLL_CALL c_APECompress_Destroy(APE_COMPRESS_HANDLE hAPECompress);
MACDLL_API int MACDLL_CALL c_APECompress_Start(APE_COMPRESS_HANDLE hAPECompress, const char* pOutputFilename,
                                                const MAC_WAVEFORMATEX* pwfeInput, int nMaxAudioBytes,
                                                int nCompressionLevel, const void* pHeaderData, int nHeaderBytes);
MACDLL_API int MACDLL_CALL c_APECompress_AddData(APE_COMPRESS_HANDLE hAPECompress, unsigned char* pData, int nBytes);
MACDLL_API int MACDLL_CALL c_APECompress_Finish(APE_COMPRESS_HANDLE hAPECompress, unsigned char* pTerminatingData,
                                                 int nTerminatingBytes, int nWAVTerminatingBytes);

MACDLL_API int MACDLL_CALL FillWaveFormatEx(MAC_WAVEFORMATEX* pWaveFormatEx, int nSampleRate, int nBitsPerSample,
                                             int nChannels);

// Writes an ID3v1 tag (bUseOldID3) into an existing file.
MACDLL_API int MACDLL_CALL TagFileSimple(const char* pFilename, const char* pArtist, const char* pAlbum,
                                          const char* pTitle, const char* pComment, const char* pGenre,
                                          const char* pYear, const char* pTrack, MAC_BOOL bClearFirst,
                                          MAC_BOOL bUseOldID3);

typedef int(MACDLL_CALL* proc_APECompress_Start)(APE_COMPRESS_HANDLE, const char*, const MAC_WAVEFORMATEX*, int, int,
                                                 const void*, int);

#ifdef __cplusplus
}
#endif
