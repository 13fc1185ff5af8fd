package kanne.test;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;

/**
 * Stays in main for two seconds, so that the splash screen can be watched, then returns. With the
 * argument "linger", a thread of the application runs on for two more seconds after main returned.
 */
public class Pauses {
    public static void main(String[] args) throws Exception {
        Thread.sleep(2000);
        if (Arrays.asList(args).contains("linger")) {
            new Thread(() -> {
                try {
                    Thread.sleep(2000);
                    Files.writeString(Path.of("lingered.txt"), "yes");
                } catch (Exception e) {
                    e.printStackTrace();
                }
            }).start();
        }
        Files.writeString(Path.of("main-returned.txt"), "yes");
    }
}
