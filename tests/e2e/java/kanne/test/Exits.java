package kanne.test;

/** Ends the process through System.exit. */
public class Exits {
    public static void main(String[] args) {
        System.exit(3);
    }
}
