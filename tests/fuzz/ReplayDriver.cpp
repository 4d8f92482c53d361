// Runs a fuzz target without libFuzzer: every file of the corpus folders given
// on the command line, then a fixed number of pseudo-random mutations of them,
// so the normal build checks the target against its known inputs and a little more.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

std::vector<std::string> readCorpus(int argc, char **argv)
{
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(argv[i], ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
    }
    if (inputs.empty())
        inputs.emplace_back();
    return inputs;
}

std::string mutate(std::string input, std::mt19937 &random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
        switch (random() % 3) {
        case 0:
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                         static_cast<char>(byte(random)));
            break;
        case 1:
            if (at < input.size())
                input.erase(at, 1);
            break;
        default:
            if (at < input.size())
                input[at] = static_cast<char>(byte(random));
            break;
        }
    }
    return input;
}

void run(const std::string &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> corpus = readCorpus(argc, argv);
    for (const std::string &input : corpus)
        run(input);

    constexpr int Mutations = 20000;
    std::mt19937 random(20261208);
    for (int i = 0; i < Mutations; ++i)
        run(mutate(corpus[random() % corpus.size()], random));

    std::printf("%zu corpus inputs and %d mutations ran clean\n", corpus.size(), Mutations);
    return 0;
}
