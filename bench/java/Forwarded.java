/** Benchmark application: runs until stop.txt appears; notes when each forwarded start arrives. */
public class Forwarded {
    static long micros() {
        return System.currentTimeMillis() * 1000 + (System.nanoTime() / 1000) % 1000;
    }

    public static void main(String[] args) throws Exception {
        java.nio.file.Files.writeString(java.nio.file.Path.of("running.txt"), "yes");
        while (!java.nio.file.Files.exists(java.nio.file.Path.of("stop.txt")))
            Thread.sleep(20);
    }

    public static synchronized void secondaryMain(String[] args) throws Exception {
        java.nio.file.Files.writeString(java.nio.file.Path.of("arrived.txt"), Long.toString(micros()));
    }
}
