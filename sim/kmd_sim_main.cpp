// Placeholder until the pseudo-terminal server lands.
int main() {
    return 0;
}
