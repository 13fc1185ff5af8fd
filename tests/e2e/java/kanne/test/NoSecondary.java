package kanne.test;

import java.nio.file.Files;
import java.nio.file.Path;

/** Keeps running until stop.txt appears; has no secondaryMain. */
public class NoSecondary {
    public static void main(String[] args) throws Exception {
        Files.writeString(Path.of("main-started.txt"), "yes");
        long end = System.currentTimeMillis() + 120_000;
        while (!Files.exists(Path.of("stop.txt")) && System.currentTimeMillis() < end)
            Thread.sleep(20);
    }
}
