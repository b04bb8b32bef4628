// Zorbit Volley: process entry. Filled in as the application frame lands.
int main() { return 0; }
