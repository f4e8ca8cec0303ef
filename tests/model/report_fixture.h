// A spot sample built record by record, for the report tests.
#pragma once

#include "model_fixture.h"
#include "reports/model/spot_sample.h"

namespace kesmir::testing {

class ReportTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        Psamp = Hsamp = Csamp = 0;
    }

    static plant& samplePlant(uint32_t chrom1, uint32_t chrom2 = 0, float energy = 80.0f,
                              int32_t age = 1, uint32_t GM = 0) {
        plant& p = SP[Psamp++];
        p = plant{};
        p.chrom1 = chrom1;
        p.chrom2 = chrom2;
        p.energy = energy;
        p.alive = 1;
        p.age = age;
        p.GM = GM;
        return p;
    }

    static animal& sampleHerbivore(uint32_t chrom1, uint32_t chrom2 = 0, uint32_t chrom3 = 0,
                                   uint32_t chrom4 = 0, float energy = 120.0f) {
        return fill(SH[Hsamp++], chrom1, chrom2, chrom3, chrom4, energy);
    }

    static animal& sampleCarnivore(uint32_t chrom1, uint32_t chrom2 = 0, uint32_t chrom3 = 0,
                                   uint32_t chrom4 = 0, float energy = 300.0f) {
        return fill(SC[Csamp++], chrom1, chrom2, chrom3, chrom4, energy);
    }

  private:
    static animal& fill(animal& a, uint32_t chrom1, uint32_t chrom2, uint32_t chrom3,
                        uint32_t chrom4, float energy) {
        a = animal{};
        a.chrom1 = chrom1;
        a.chrom2 = chrom2;
        a.chrom3 = chrom3;
        a.chrom4 = chrom4;
        a.energy = energy;
        a.alive = 1;
        a.age = 1;
        return a;
    }
};

}  // namespace kesmir::testing
