// Arbitrary request bytes through the simulated firmware's frame reader and command handler.
#include "commandhandler.h"
#include "devicememory.h"
#include "framereader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DeviceMemory memory;
    CommandHandler handler(memory, 1, 0, WriteTimes{});
    FrameReader reader;
    for (size_t i = 0; i < size; ++i)
        if (reader.Feed(data[i]) == FrameReader::Result::Valid) handler.Handle(reader.Payload());
    return 0;
}
