#include "chipmodel.h"

#include <gpsim/breakpoints.h>
#include <gpsim/eeprom.h>
#include <gpsim/gpsim_time.h>
#include <gpsim/interface.h>
#include <gpsim/pic-processor.h>
#include <gpsim/sim_context.h>
// After the processor's header, which it needs.
#include <gpsim/14bit-registers.h>

#include "devicememory.h"
#include "uartbridge.h"

namespace {
constexpr int kTxPin = 25;  // RC6 on the 40-pin package
constexpr int kRxPin = 26;  // RC7
constexpr unsigned kPortB = 0x06;
constexpr unsigned kOscillatorBits = 0x03;
constexpr unsigned kXtOscillator = 0x01;

// Halts the simulation at a chosen cycle, so that a run returns.
struct Halt : public TriggerObject {
    void callback() override {
        due = false;
        get_bp().halt();
    }
    bool due = false;
};

// Hands on every value written to PORTB, whether by a whole write or a bit.
class PortBWrites : public Break_register_write {
public:
    PortBWrites(Processor* cpu, ChipModel::PortWrite onWrite)
        : Break_register_write(cpu, kPortB, 0), m_onWrite(std::move(onWrite)) {}
    void takeAction() override { m_onWrite(quint8(getReplaced()->get_value())); }

private:
    ChipModel::PortWrite m_onWrite;
};

// gpsim's breakpoint halts; this action reports instead.
struct Report : public TriggerAction {
    explicit Report(PortBWrites& watch) : m_watch(watch) {}
    void action() override { m_watch.takeAction(); }
    PortBWrites& m_watch;
};

// Silicon's return stack is circular: a ninth call overwrites the oldest address. gpsim's
// stops at eight, and the bootloader leaves a return address behind when it drops a frame.
class CircularStack : public Stack {
public:
    explicit CircularStack(Processor* cpu) : Stack(cpu) {}
    bool push(unsigned int address) override {
        contents[pointer] = address;
        pointer = (pointer + 1) & int(stack_mask);
        return true;
    }
    unsigned int pop() override {
        pointer = (pointer - 1) & int(stack_mask);
        return contents[pointer];
    }
};

pic_processor* Pic(Processor* cpu) {
    return dynamic_cast<pic_processor*>(cpu);
}
}  // namespace

ChipModel::ChipModel() = default;

ChipModel::~ChipModel() {
    m_uart.reset();
}

bool ChipModel::Load(const DeviceMemory& image, const PortWrite& onPortB,
                     const UartBridge::ByteOut& onTx) {
    initialize_gpsim_core();
    initialization_is_complete();
    m_cpu = CSimulationContext::GetContext()->add_processor("p16f877a", "kestrel");
    pic_processor* pic = Pic(m_cpu);
    if (pic == nullptr || pic->eeprom == nullptr) return false;
    delete pic->stack;
    pic->stack = new CircularStack(m_cpu);
    for (int word = 0; word < DeviceMap::kFlashWords; ++word)
        if (image.Word(word) != DeviceMap::kErasedWord)
            m_cpu->init_program_memory(word, image.Word(word));
    const unsigned config = image.Word(DeviceMap::kConfigWord);
    pic->set_config_word(DeviceMap::kConfigWord, config);
    for (int offset = 0; offset < DeviceMap::kEepromBytes; ++offset)
        pic->eeprom->change_rom(offset, image.Eeprom(offset));
    const bool xt = (config & kOscillatorBits) == kXtOscillator;
    m_cpu->set_frequency(xt ? 4e6 : 20e6);
    m_cpu->reset(POR_RESET);
    auto* watch = new PortBWrites(m_cpu, onPortB);  // gpsim owns its breakpoints
    get_bp().set_breakpoint(watch, m_cpu);
    watch->set_action(new Report(*watch));
    m_uart = std::make_unique<UartBridge>(m_cpu->get_pin(kRxPin), m_cpu->get_pin(kTxPin),
                                          get_cycles().instruction_cps(), onTx);
    return true;
}

void ChipModel::Run(double seconds) {
    static Halt halt;
    // A run that a flash write has ended early leaves its halt due: one at a time, or gpsim's
    // list of breaks grows with every write and each slice gets slower.
    if (halt.due) get_cycles().clear_break(&halt);
    halt.due = true;
    get_cycles().set_break(get_cycles().get() + guint64(seconds * get_cycles().instruction_cps()),
                           &halt);
    m_cpu->run(false);
}

double ChipModel::Seconds() const {
    return double(get_cycles().get()) / get_cycles().instruction_cps();
}

void ChipModel::ReadBack(DeviceMemory& memory) const {
    for (int word = 0; word < DeviceMap::kFlashWords; ++word)
        memory.SetWord(word,
                       quint16(m_cpu->get_program_memory_at_address(word) & DeviceMap::kFlashMask));
    Register** rom = Pic(m_cpu)->eeprom->get_rom();
    for (int offset = 0; offset < DeviceMap::kEepromBytes; ++offset)
        memory.SetEeprom(offset, quint8(rom[offset]->get_value()));
}
