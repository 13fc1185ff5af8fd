/** Benchmark application: notes the wall-clock time of main's first line. */
public class FirstLine {
    public static void main(String[] args) throws Exception {
        long now = System.currentTimeMillis() * 1000 + (System.nanoTime() / 1000) % 1000;
        java.nio.file.Files.writeString(java.nio.file.Path.of("first-line.txt"), Long.toString(now));
    }
}
