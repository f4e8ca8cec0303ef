#include "files/checkpoint_world.h"

#include <utility>
#include <vector>

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

void writeParameters(CompressedWriter& out) {
    out.value(static_cast<uint32_t>(namedParameters().size()));
    for (const NamedParameter& parameter : namedParameters()) {
        const std::string_view name = parameter.name;
        out.value(static_cast<uint8_t>(name.size()));
        out.bytes(name.data(), name.size());
        const ParameterValue value = parameterValue(parameter);
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
            return fail(error, "it holds a parameter this program does not know: '" +
                                   std::string(named) + "'");
        const ParameterValue value = type == 0 ? ParameterValue(std::bit_cast<float>(bits))
                                               : ParameterValue(std::bit_cast<int32_t>(bits));
        if (type > 1 || !setParameter(*parameter, value))
            return fail(error, "parameter " + std::string(named) + " has the wrong type");
    }
    return true;
}

bool validCount(int32_t count) {
    return count >= 0 && count <= kListCapacity;
}

// Reads one kind's records into `list` and points its slots at them.
template <class Record>
bool readKind(CompressedReader& in, Record* list, int32_t count, SlotLayer& slots, const char* kind,
              std::string& error) {
    bool ok = true;
    fieldsOf(list, [&](auto member) {
        using Field = std::remove_reference_t<decltype(list[0].*member)>;
        ok = ok && in.column<Field>(count, [&](std::size_t i, Field v) {
            list[i].*member = v;
            return true;
        });
    });
    ok = ok && in.column<uint32_t>(count, [&](std::size_t i, uint32_t alive) {
        list[i].alive = static_cast<uint8_t>(alive);
        return alive <= 1;
    });
    if (!ok)
        return in.error().empty()
                   ? fail(error, std::string("a ") + kind + " is neither alive nor dead")
                   : false;

    slots.clearAll();
    for (int32_t i = 0; i < count; ++i) {
        const Record& r = list[i];
        if (r.x < 0 || r.x >= kWorldSide || r.y < 0 || r.y >= kWorldSide)
            return fail(error, std::string("a ") + kind + " stands outside the world");
        slots.set(cellIndex(r.x, r.y), slotFor(r, i));
    }
    uint32_t exceptions = 0;
    if (!in.value(exceptions)) return false;
    for (uint32_t n = 0; n < exceptions; ++n) {
        int32_t cell = 0;
        Slot slot = kEmpty;
        if (!in.value(cell) || !in.value(slot)) return false;
        const bool pointsOutside = slot != kEmpty && (indexOf(slot) < 0 || indexOf(slot) >= count);
        if (cell < 0 || cell >= kCells || pointsOutside)
            return fail(error, std::string("a ") + kind + " cell slot is out of range");
        if (slot == kEmpty)
            slots.clear(cell);
        else
            slots.set(cell, slot);
    }
    return true;
}

}  // namespace

void writeWorld(CompressedWriter& out) {
    out.value(int32_t(kk));
    out.value(randState);
    out.value(static_cast<uint8_t>(even));
    writeParameters(out);
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
    if (cycle < 0 || evenBuffers > 1)
        return fail(error, "its cycle count or buffer flag is out of range");
    int32_t counts[9];
    float extremes[7];
    for (int32_t& count : counts)
        if (!in.value(count)) return failed();
    for (float& extreme : extremes)
        if (!in.value(extreme)) return failed();
    for (int32_t count : counts)
        if (!validCount(count)) return fail(error, "a population count is out of range");
    // A run ends when a population falls to one or none, so no boundary has one.
    if (counts[0] <= 1 || counts[1] <= 1 || counts[2] <= 1)
        return fail(error, "a population has died out");

    selectBuffers(evenBuffers == 1);
    if (!readKind<plant>(in, PL, counts[0], E.plant, "plant", error) ||
        !readKind<animal>(in, HL, counts[1], E.herbivore, "herbivore", error) ||
        !readKind<animal>(in, CL, counts[2], E.carnivore, "carnivore", error))
        return failed();
    float* nutrient = E.nutrient;
    if (!in.column<float>(kCells, [nutrient](std::size_t cell, float level) {
            nutrient[cell] = level;
            return true;
        }))
        return failed();

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
