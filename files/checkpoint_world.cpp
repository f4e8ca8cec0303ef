#include "files/checkpoint_world.h"

#include <cmath>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

#include "files/message_text.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/named_params.h"
#include "world/random.h"

namespace kesmir {

namespace {

// The 4-byte fields of each kind of record, in the order they are stored.
template <class F>
void plantFields(F f) {
    f(&plant::x), f(&plant::y), f(&plant::energy), f(&plant::age), f(&plant::chrom1),
        f(&plant::chrom2), f(&plant::GM);
}
template <class F>
void animalFields(F f) {
    f(&animal::x), f(&animal::y), f(&animal::energy), f(&animal::age), f(&animal::chrom1),
        f(&animal::chrom2), f(&animal::chrom3), f(&animal::chrom4), f(&animal::GM);
}
template <class F>
void fieldsOf(const plant*, F f) {
    plantFields(f);
}
template <class F>
void fieldsOf(const animal*, F f) {
    animalFields(f);
}

template <class Record>
std::uint64_t columnsOf() {
    std::uint64_t fields = 1;  // alive
    fieldsOf(static_cast<const Record*>(nullptr), [&](auto) { ++fields; });
    return fields;
}

using SlotException = std::pair<int32_t, Slot>;  // cell, slot

// The cells whose slot is not what setting each record's slot in list order
// would leave there.
template <class Record>
std::vector<SlotException> slotExceptions(const Record* list, int32_t count,
                                          const SlotLayer& slots) {
    std::vector<SlotException> exceptions;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t cell = cellIndex(list[i].x, list[i].y);
        const Slot slot = slots[cell];
        if (slot == slotFor(list[i], i)) continue;
        // A later record on the same cell has the last word; it is checked in its turn.
        const int32_t named = slot == kEmpty ? -1 : indexOf(slot);
        if (named > i && named < count && cellIndex(list[named].x, list[named].y) == cell) continue;
        exceptions.emplace_back(cell, slot);
    }
    return exceptions;
}

template <class Record>
void writeKind(CompressedWriter& out, const Record* list, int32_t count, const SlotLayer& slots) {
    fieldsOf(list, [&](auto member) {
        out.column(count, [&](std::size_t i) { return list[i].*member; });
    });
    out.column(count, [&](std::size_t i) { return uint32_t{list[i].alive}; });
    const std::vector<SlotException> exceptions = slotExceptions(list, count, slots);
    out.value(static_cast<uint32_t>(exceptions.size()));
    for (const auto& [cell, slot] : exceptions) {
        out.value(cell);
        out.value(slot);
    }
}

void writeParameters(CompressedWriter& out, const ParameterSet& values) {
    out.value(static_cast<uint32_t>(namedParameters().size()));
    for (const NamedParameter& parameter : namedParameters()) {
        const std::string_view name = parameter.name;
        out.value(static_cast<uint8_t>(name.size()));
        out.bytes(name.data(), name.size());
        const ParameterValue value = parameterValue(parameter, values);
        out.value(static_cast<uint8_t>(value.index()));
        std::visit([&](auto v) { out.value(v); }, value);
    }
}

// --- reading ---

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

bool readParameters(CompressedReader& in, std::string& error) {
    uint32_t count = 0;
    if (!in.value(count)) return false;
    if (count > namedParameters().size())
        return fail(error, "it holds " + std::to_string(count) + " parameters, more than the " +
                               std::to_string(namedParameters().size()) + " there are");
    for (uint32_t n = 0; n < count; ++n) {
        uint8_t length = 0;
        char name[256];
        uint8_t type = 0;
        uint32_t bits = 0;
        if (!in.value(length) || !in.bytes(name, length) || !in.value(type) || !in.value(bits))
            return false;
        const std::string_view named(name, length);
        const NamedParameter* parameter = findParameter(named);
        if (parameter == nullptr)
            return fail(error, "it holds a parameter this program does not know: " +
                                   quotedForMessage(named, 40));
        const ParameterValue value = type == 0 ? ParameterValue(std::bit_cast<float>(bits))
                                               : ParameterValue(std::bit_cast<int32_t>(bits));
        if (type != parameter->global.index())
            return fail(error, "parameter " + std::string(named) + " has the wrong type");
        if (!setParameter(*parameter, value))
            return fail(error, "parameter " + std::string(named) + " is outside its range " +
                                   boundsText(*parameter));
    }
    return true;
}

bool validCount(int32_t count) {
    return count >= 0 && count <= kListCapacity;
}

// Why a stored field cannot be a record's, or nullptr when it can.
template <class Record, class Field>
const char* fieldRefusal(Field Record::*member, Field value) {
    if constexpr (std::is_same_v<Field, float>) {
        return std::isfinite(value) ? nullptr : "has an energy that is not a finite number";
    } else if constexpr (std::is_same_v<Field, int32_t>) {
        if (member == &Record::age)
            return value <= kOldestStoredAge ? nullptr : "is older than any organism can grow";
        return value >= 0 && value < kWorldSide ? nullptr : "stands outside the world";
    }
    return nullptr;
}

// Reads one kind's slot exceptions; each names a record standing on its cell.
template <class Record>
bool readExceptions(CompressedReader& in, const Record* list, int32_t count, SlotLayer& slots,
                    const std::string& kind, std::string& error) {
    uint32_t exceptions = 0;
    if (!in.value(exceptions)) return false;
    // Each record gives rise to one exception at most.
    if (exceptions > static_cast<uint32_t>(count))
        return fail(error, "it holds " + std::to_string(exceptions) + " " + kind +
                               " slot exceptions, more than its " + std::to_string(count) + " " +
                               kind + "s");
    for (uint32_t n = 0; n < exceptions; ++n) {
        int32_t cell = 0;
        Slot slot = kEmpty;
        if (!in.value(cell) || !in.value(slot)) return false;
        const int32_t named = slot == kEmpty ? -1 : indexOf(slot);
        if (cell < 0 || cell >= kCells || (slot != kEmpty && (named < 0 || named >= count)))
            return fail(error, "a " + kind + " cell slot is out of range");
        if (slot == kEmpty) {
            slots.clear(cell);
            continue;
        }
        const Record& r = list[named];
        if (cellIndex(r.x, r.y) != cell)
            return fail(error,
                        "a " + kind + " cell slot names a " + kind + " standing on another cell");
        if (slot != slotFor(r, named))
            return fail(error, "a " + kind + " cell slot does not match the " + kind + " it names");
        slots.set(cell, slot);
    }
    return true;
}

// Reads one kind's records into `list` and points its slots at them.
template <class Record>
bool readKind(CompressedReader& in, Record* list, int32_t count, SlotLayer& slots,
              const std::string& kind, std::string& error) {
    const char* refusal = nullptr;  // why a field cannot be the record's
    bool ok = true;
    fieldsOf(list, [&](auto member) {
        using Field = std::remove_reference_t<decltype(list[0].*member)>;
        ok = ok && in.column<Field>(count, [&](std::size_t i, Field v) {
            list[i].*member = v;
            refusal = fieldRefusal(member, v);
            return refusal == nullptr;
        });
    });
    ok = ok && in.column<uint32_t>(count, [&](std::size_t i, uint32_t alive) {
        list[i].alive = static_cast<uint8_t>(alive);
        if (alive > 1) refusal = "is neither alive nor dead";
        return refusal == nullptr;
    });
    if (refusal != nullptr) return fail(error, "a " + kind + " " + refusal);
    if (!ok) return false;

    slots.clearAll();
    for (int32_t i = 0; i < count; ++i)
        slots.set(cellIndex(list[i].x, list[i].y), slotFor(list[i], i));
    return readExceptions(in, list, count, slots, kind, error);
}

bool allFinite(const float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

}  // namespace

std::uint64_t largestStateBytes() {
    constexpr std::uint64_t kParameterBytes = 1 + 255 + 1 + 4;  // name length, name, type, value
    constexpr std::uint64_t kExceptionBytes = 8;                // cell, slot
    constexpr std::uint64_t kCapacity = kListCapacity;
    const std::uint64_t head = 4 + 4 + 1;  // cycle, generator, buffers
    const std::uint64_t parameters = 4 + namedParameters().size() * kParameterBytes;
    const std::uint64_t countsAndExtremes = 9 * 4 + 7 * 4;
    const std::uint64_t lists =
        3 * 4 +
        kCapacity * (4 * (columnsOf<plant>() + 2 * columnsOf<animal>()) + 3 * kExceptionBytes);
    const std::uint64_t nutrients = std::uint64_t{kCells} * 4;
    return head + parameters + countsAndExtremes + lists + nutrients;
}

void writeWorld(CompressedWriter& out, const ParameterSet& parameters) {
    out.value(int32_t(kk));
    out.value(randState);
    out.value(static_cast<uint8_t>(even));
    writeParameters(out, parameters);
    for (int32_t count :
         {int32_t(Ppop), int32_t(Hpop), int32_t(Cpop), newPpop, newHpop, newCpop, Peat, Heat, Ceat})
        out.value(count);
    for (float extreme : {pmin, pmax, hmin, hmax, cmin, cmax, emax})
        out.value(extreme);
    writeKind<plant>(out, PL, Ppop, E.plant);
    writeKind<animal>(out, HL, Hpop, E.herbivore);
    writeKind<animal>(out, CL, Cpop, E.carnivore);
    const float* levels = E.nutrient;  // written by this thread only
    out.column(kCells, [levels](std::size_t cell) { return levels[cell]; });
}

bool readWorld(CompressedReader& in, std::string& error) {
    error.clear();
    auto failed = [&] {
        if (error.empty()) error = in.error();
        return false;
    };
    int32_t cycle = 0;
    uint32_t state = 0;
    uint8_t evenBuffers = 0;
    if (!in.value(cycle) || !in.value(state) || !in.value(evenBuffers) ||
        !readParameters(in, error))
        return failed();
    if (cycle < 0 || cycle > kLatestStoredCycle || evenBuffers > 1)
        return fail(error, "its cycle count or buffer flag is out of range");
    int32_t counts[9];
    float extremes[7];
    for (int32_t& count : counts)
        if (!in.value(count)) return failed();
    for (float& extreme : extremes)
        if (!in.value(extreme)) return failed();
    for (int32_t count : counts)
        if (!validCount(count)) return fail(error, "a population count is out of range");
    if (!allFinite(extremes, std::size(extremes)))
        return fail(error, "an energy or nutrient extreme is not a finite number");
    // A run ends when a population falls to one or none, so no boundary has one.
    if (counts[0] <= 1 || counts[1] <= 1 || counts[2] <= 1)
        return fail(error, "a population has died out");

    selectBuffers(evenBuffers == 1);
    if (!readKind<plant>(in, PL, counts[0], E.plant, "plant", error) ||
        !readKind<animal>(in, HL, counts[1], E.herbivore, "herbivore", error) ||
        !readKind<animal>(in, CL, counts[2], E.carnivore, "carnivore", error))
        return failed();
    float* nutrient = E.nutrient;
    bool finite = true;
    if (!in.column<float>(kCells, [nutrient, &finite](std::size_t cell, float level) {
            nutrient[cell] = level;
            finite = std::isfinite(level);
            return finite;
        }))
        return finite ? failed() : fail(error, "a nutrient level is not a finite number");

    kk = cycle;
    randState = state;
    Ppop = counts[0];
    Hpop = counts[1];
    Cpop = counts[2];
    newPpop = counts[3];
    newHpop = counts[4];
    newCpop = counts[5];
    Peat = counts[6];
    Heat = counts[7];
    Ceat = counts[8];
    pmin = extremes[0];
    pmax = extremes[1];
    hmin = extremes[2];
    hmax = extremes[3];
    cmin = extremes[4];
    cmax = extremes[5];
    emax = extremes[6];
    return true;
}

}  // namespace kesmir
