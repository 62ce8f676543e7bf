// Monkey's Audio when the MACDll library is not part of the build: every open fails.
#include "ape_decoder.h"
#include "ape_encoder.h"

struct ApeDecoder::State {};
struct ApeEncoder::State {};

ApeDecoder::ApeDecoder() : state_(nullptr) {}
ApeDecoder::~ApeDecoder() = default;
int32_t ApeDecoder::open(const char*, int32_t) { return -2; }
void ApeDecoder::close() {}
bool ApeDecoder::isOpen() const { return false; }
void ApeDecoder::setStop(bool) {}
int32_t ApeDecoder::read(uint8_t*, int32_t, bool, PcmResampler*, int32_t) { return 0; }
int32_t ApeDecoder::seek(double) { return -1; }
double ApeDecoder::position() const { return 0; }
double ApeDecoder::length() const { return 0; }
double ApeDecoder::lengthMs() const { return 0; }
int32_t ApeDecoder::sampleRate() const { return 0; }
int32_t ApeDecoder::channels() const { return 0; }

ApeEncoder::ApeEncoder() : state_(nullptr) {}
ApeEncoder::~ApeEncoder() = default;
int32_t ApeEncoder::open(const char*, int32_t, int32_t) { return -3; }
int32_t ApeEncoder::add(const uint8_t*, int32_t) { return -1; }
int32_t ApeEncoder::finish() { return 0; }
